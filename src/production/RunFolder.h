// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A folder of its own for one creation run, inside the first temporary folder
// that can be created and written. Two programs running at once each get their
// own, so their "__frame__N.gif" files never meet.
//
// The run folder has a name nobody can guess, is open to this user only, and
// its scratch files are opened relative to it (ScratchFiles). It holds a
// marker file that the run keeps locked while it lives: a folder whose marker
// nobody holds was left by a run that ended without cleaning up, whichever
// machine or container it ran in.
class RunFolder final {
public:
    // Runs EnsureFolder on each candidate in turn until one takes a new
    // subfolder. A candidate that another user can rename entries in (writable
    // by others without the sticky bit, or owned by another user) is refused.
    // The candidate folders themselves are left in place afterwards; abandoned
    // run folders are removed from them.
    explicit RunFolder(const QStringList& candidates);
    // Removes the subfolder when nothing but its marker is left; files in it
    // are never deleted here (a later run's sweep removes such a folder).
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool IsValid() const { return !path_.isEmpty(); }
    QString Path() const { return path_; }
    // Why no folder could be made (empty when IsValid()).
    QString Error() const { return error_; }

    // Removes the run folders in `folder` that are abandoned: real folders
    // (not links) of this user, named as run folders, whose marker is there
    // and held by nobody. Nothing is followed through a link.
    static void RemoveAbandoned(const QString& folder);

private:
    QString Open(const QString& folder);
    void Release();

    QString path_;
    QString error_;
    QByteArray name_;
    int parent_ = -1; // the candidate folder
    int fd_ = -1;     // the run folder
    int marker_ = -1; // locked while the run lives
};
