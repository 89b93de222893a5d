#pragma once

#include <QString>
#include <utility>

// What reading a file people write gives, all or nothing: either everything it holds (the
// members of `Contents`, each reader naming its own) with `ok` set, or the contents left
// at their defaults and `error`, a refusal that names the file, the line and what is
// wrong.
template <typename Contents> struct FileReadResult : Contents {
    bool ok = false;
    QString error;

    static FileReadResult read(Contents contents) {
        FileReadResult result;
        static_cast<Contents &>(result) = std::move(contents);
        result.ok = true;
        return result;
    }
    static FileReadResult refused(const QString &error) {
        FileReadResult result;
        result.error = error;
        return result;
    }
};
