// A View menu's checkable item remembered between starts.
#include "rememberedoption.h"
#include "viewzoom.h"

#include <QAction>
#include <QMenu>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString Program = QStringLiteral("RememberedOptionTest");
const QString Key = QStringLiteral("View/option");

} // namespace

class TestRememberedOption : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { programSettings(Program).remove(Key); }
    void startsAsLeftAndRemembersEachChange_data();
    void startsAsLeftAndRemembersEachChange();
};

void TestRememberedOption::startsAsLeftAndRemembersEachChange_data() {
    QTest::addColumn<QVariant>("left"); // by the last start; none the first time
    QTest::addColumn<int>("triggers");
    QTest::addColumn<bool>("startsOn");
    QTest::addColumn<QList<bool>>("changes");
    QTest::newRow("first start") << QVariant() << 0 << false << QList<bool>{};
    QTest::newRow("left on") << QVariant(true) << 0 << true << QList<bool>{};
    QTest::newRow("turned on") << QVariant() << 1 << false << QList<bool>{true};
    QTest::newRow("left on, turned off") << QVariant(true) << 1 << true << QList<bool>{false};
    QTest::newRow("turned on and off") << QVariant(false) << 2 << false << QList<bool>{true, false};
}

void TestRememberedOption::startsAsLeftAndRemembersEachChange() {
    QFETCH(QVariant, left);
    QFETCH(int, triggers);
    QFETCH(bool, startsOn);
    QFETCH(QList<bool>, changes);
    if (left.isValid()) programSettings(Program).setValue(Key, left);
    QMenu menu;
    QList<bool> seen, storedWhenSeen;
    QAction *item = addRememberedOption(
        &menu, Program, Key, QStringLiteral("Option1"), QStringLiteral("&Option"), [&](bool on) {
            seen << on;
            storedWhenSeen << programSettings(Program).value(Key).toBool();
        });
    QCOMPARE(menu.actions(), QList<QAction *>{item});
    QCOMPARE(item->objectName(), QStringLiteral("Option1"));
    QCOMPARE(item->text(), QStringLiteral("&Option"));
    QVERIFY(item->isCheckable());
    QCOMPARE(item->isChecked(), startsOn);
    for (int i = 0; i < triggers; ++i) item->trigger();
    QCOMPARE(seen, changes);
    QCOMPARE(storedWhenSeen, changes); // remembered before the change is shown
    // The next start's item starts as this one was left.
    QMenu next;
    const bool lastState = changes.isEmpty() ? startsOn : changes.last();
    QCOMPARE(addRememberedOption(&next, Program, Key, {}, {}, {})->isChecked(), lastState);
}

QTEST_MAIN(TestRememberedOption)
#include "tst_rememberedoption.moc"
