#pragma once
// The single-instance rule: an exclusive lock on a file named "Quelta" in the runtime folder.
// The kernel releases it when the process ends, however it ends.
#include <QString>

namespace App {

class MessageSink;

class InstanceLock {
public:
    // The lock file is <folder>/Quelta.
    explicit InstanceLock(const QString& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // true when this process now holds the lock; false when another one holds it.
    bool acquire();
    void release();
    bool held() const { return held_; }
    QString path() const { return path_; }

private:
    QString path_;
    int fd_ = -1;
    bool held_ = false;
};

// $XDG_RUNTIME_DIR, else /tmp.
QString runtimeFolder();

extern const QString kAlreadyRunningQuestion;
extern const QString kSecondCopyNotice;

// Takes the lock or asks what to do when another copy holds it. false: end the process (exit
// code 1) before any window exists; true: go on, as the only copy or as a second one.
bool passSingleInstanceGate(InstanceLock& lock, MessageSink& messages);

}  // namespace App
