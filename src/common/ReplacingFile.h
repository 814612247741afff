// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <sys/types.h>

// Writes a new file beside `target` and puts it in the target's place only
// when commit() finds that every write, the sync and the close succeeded: a
// full disk or a stopped run leaves an existing file untouched. Every failure
// keeps its system reason ("No space left on device").
//
// The target must be a regular file or missing; a symbolic link to a regular
// file keeps the link and replaces the file it points to, unless it is a link
// the kernel's link protection refuses (FileNames::ResolvePlace). The new file
// has no name until it is complete, so a target name of any length the file
// system takes can be written. Names are taken byte for byte
// (FileNames::ToBytes). Writes are not buffered here.
class ReplacingFile final : public QIODevice {
public:
    // Scratch files (frames in a run folder of their own) are written in
    // place as new files (ScratchFiles::OpenNew) and not synced, as they need
    // not outlive a power cut and their folder is cleaned as a whole; one
    // whose writing failed is removed.
    enum class Use { Output, Scratch };
    explicit ReplacingFile(const QString& target, Use use = Use::Output);
    ~ReplacingFile() override;
    Q_DISABLE_COPY_MOVE(ReplacingFile)

    // Only QIODevice::WriteOnly.
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }
    // Syncs, closes and renames over the target. False, with the reason in
    // errorString(), when anything failed since open(); the target is then
    // as it was and the new file is gone.
    bool commit();
    // Drops the new file; the target stays as it was.
    void cancelWriting();
    void close() override;

    // The system calls, replaceable by tests to act out a full disk or a file
    // system without unnamed files.
    struct SystemCalls {
        ssize_t (*write)(int fd, const void* data, size_t size);
        int (*fsync)(int fd);
        int (*close)(int fd);
        int (*openUnnamed)(int folder); // O_TMPFILE in `folder`
    };
    // nullptr restores the real calls.
    static void SetSystemCallsForTesting(const SystemCalls* calls);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool Fail(const QString& reason);
    void Discard();

    QString target_;
    int folder_ = -1; // the folder of the file that is replaced, links resolved
    QByteArray name_; // its name there
    QByteArray part_; // the new file's name while it has one before the rename
    Use use_ = Use::Output;
    int fd_ = -1;
    bool failed_ = false;
    bool scratch_ = false;
    bool committed_ = false;
};
