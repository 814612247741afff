// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// A folder of its own for one creation run, inside the first temporary folder
// that can be created and written. Two programs running at once each get their
// own, so their "__frame__N.gif" files never meet.
class RunFolder final {
public:
    // Runs EnsureFolder on each candidate in turn until one takes a new
    // subfolder, named after this process. The candidate folders themselves
    // are left in place afterwards; run folders of processes that are gone
    // are removed from them.
    explicit RunFolder(const QStringList& candidates);
    // Removes the subfolder when it is empty; files in it are never deleted here.
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool IsValid() const { return !path_.isEmpty(); }
    QString Path() const { return path_; }
    // Why no folder could be made (empty when IsValid()).
    QString Error() const { return error_; }

    // Removes the run folders in `folder` whose process no longer exists.
    static void RemoveAbandoned(const QString& folder);

private:
    QString path_;
    QString error_;
};
