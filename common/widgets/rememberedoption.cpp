#include "rememberedoption.h"

#include "viewzoom.h"

#include <QAction>
#include <QMenu>

QAction *addRememberedOption(QMenu *menu, const QString &program, const QString &key,
                             const QString &name, const QString &text,
                             std::function<void(bool)> changed) {
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(programSettings(program).value(key, false).toBool());
    QObject::connect(action, &QAction::toggled, menu,
                     [program, key, changed = std::move(changed)](bool on) {
                         programSettings(program).setValue(key, on);
                         if (changed) changed(on);
                     });
    return action;
}
