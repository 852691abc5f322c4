#include "app/single_instance.h"

#include "ui/station.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace App {

const QString kAlreadyRunningQuestion = QStringLiteral(
    "もう起動されています。\nしばらく待つか、タスクバーを確認してください。\n起動を中止する時は「はい」を、\n"
    "Ｑｕｅｌｔａを同時に２つ起動する時は「いいえ」をクリックしてください。\n\n"
    "７ｗを「７ｅの表示」として使う場合は「いいえ」をクリックしてください。");

const QString kSecondCopyNotice = QStringLiteral(
    "Ｑｕｅｌｔａを２つ起動した場合は、違うチャンネルを指定してください。\n"
    "同じチャンネルを指定した時は、通常の通信はできません。\n\n"
    "パソコンの容量を超えて複数のQueltaを起動すると動作が不安定になります。\n"
    "複数起動を本番で使う場合は、必ずリハーサルして動作を確認してください。\n\n"
    "７ｗと７ｅを２重起動して、７ｗを入力用７ｅの表示として使う場合は、\n"
    "「パートナー」ページの「チャンネル」の「７ｗに表示」チェックを入れてください。");

InstanceLock::InstanceLock(const QString& folder) : path_(QDir(folder).filePath(QStringLiteral("Quelta"))) {}

InstanceLock::~InstanceLock() { release(); }

bool InstanceLock::acquire() {
    if (held_) return true;
    if (fd_ < 0) fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A folder we cannot write gives no lock to compete for; the program runs as the only copy.
    if (fd_ < 0) return true;
    held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    return held_;
}

void InstanceLock::release() {
    if (fd_ >= 0) {
        if (held_) ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    fd_ = -1;
    held_ = false;
}

QString runtimeFolder() {
    const QByteArray dir = qgetenv("XDG_RUNTIME_DIR");
    if (!dir.isEmpty() && QDir(QString::fromLocal8Bit(dir)).exists()) return QString::fromLocal8Bit(dir);
    return QStringLiteral("/tmp");
}

bool passSingleInstanceGate(InstanceLock& lock, MessageSink& messages) {
    if (lock.acquire()) return true;
    if (messages.askYesNo(kAlreadyRunningQuestion)) return false;
    messages.information(kSecondCopyNotice);
    return true;
}

}  // namespace App
