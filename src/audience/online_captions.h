#pragma once
// Online captions: the captions this station's display shows, posted over HTTP to a video
// meeting's or a live stream's caption address, whose servers then show them to every viewer.
// Off until switched on. It follows the display through the record mirror, so what is posted is
// what the display shows: own and received lines, after a correction batch (a corrected line that
// reads as before is not posted again), nothing while the record is edited by hand.
//
// The contract with the platform:
//   - one POST per caption, in order, body UTF-8 "text/plain; charset=utf-8", one request at a time;
//   - "seq=<n>" added to the address's own query, one more for each caption, the same on a retry;
//   - a failed post, or one without an answer within 10 s, is retried after 1 s, 2 s, 4 s … at
//     most 30 s; nothing here ever waits on the display's thread;
//   - "zoom": "lang=<language>" added as well; the last seq the platform took is asked with a GET
//     at the address's path + "/seq" (same query) when posting starts and when the address changes,
//     and posting goes on after it (from 1 when that fails). After a failed post it is asked again,
//     so a caption that did arrive although its answer was lost is not sent twice;
//   - "youtube": the body is the caption's UTC time "YYYY-MM-DDTHH:MM:SS.mmm", a line break, the
//     text with its inner line breaks as "<br>", and a line break.
// At most 1000 captions wait; past that the oldest waiting one is dropped, and the drops are
// counted (explain()). Requests go out through the station's network access manager; a station
// without one (tests) posts nothing.
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <functional>


namespace Core { class Clock; }

namespace Audience {

using Clock = Core::Clock;
class RecordMirror;

class OnlineCaptions : public QObject {
    Q_OBJECT
public:
    enum class Kind { Off, Zoom, YouTube };
    static constexpr int kQueueLimit = 1000;
    static constexpr int kRecentLines = 128;  // lines remembered to tell a join from a new caption
    struct Timing {
        int timeoutMs = 10000;
        int firstRetryMs = 1000;
        int longestRetryMs = 30000;
    };

    // What the group on the page "補助Ｗ" shows.
    struct Status {
        qint64 sent = 0;
        QString lastSent;
        QDateTime lastSentAt;
        int waiting = 0;
        qint64 dropped = 0;
        QString lastError;       // empty once a post went through again
        QDateTime lastErrorAt;
        qint64 nextSeq = 1;
    };

    OnlineCaptions(RecordMirror& mirror, const Clock& clock, QObject* parent = nullptr);
    ~OnlineCaptions() override;

    // The settings words: "off", "zoom", "youtube" (anything else is off).
    static Kind kindOf(QStringView word);
    static QString wordOf(Kind kind);
    static constexpr const char* kDefaultLanguage = "jp-JP";

    void setKind(Kind kind);
    void setUrl(const QString& url);
    void setLanguage(const QString& language);
    Kind kind() const { return kind_; }
    QString url() const { return url_; }
    QString language() const { return language_; }
    // Where requests go out; none: nothing is posted.
    void setNetwork(QNetworkAccessManager* network);
    // Posting needs a network, a kind other than off and an http or https address.
    bool isActive() const;
    bool hasNetwork() const { return !net_.isNull(); }
    bool isBusy() const { return !reply_.isNull(); }
    // Milliseconds until the next try while one is due after a failure, else -1.
    int retryInMs() const { return retry_.isActive() ? retry_.remainingTime() : -1; }

    // While this answers true the record is being edited by hand: its changes are not captions.
    void setHandEditing(std::function<bool()> editing) { handEditing_ = std::move(editing); }
    void setTiming(Timing timing) { timing_ = timing; }

    const Status& status() const { return status_; }
    // One caption to post: plain text, inner line breaks as "\n". What the mirror feeds, too.
    void post(const QString& text, const QDateTime& shownAt);

    // The requests, as sent.
    static QUrl postUrl(const QUrl& destination, Kind kind, qint64 seq, const QString& language);
    static QUrl seqUrl(const QUrl& destination);
    static QByteArray body(Kind kind, const QString& text, const QDateTime& shownAt);

signals:
    void statusChanged();
    // A line for the explanation page.
    void explain(const QString& line);

private:
    struct Caption {
        QString text;
        QDateTime shownAt;
        qint64 seq = 0;  // 0 until first sent
    };
    struct Pending {
        qint64 caption = 0;
        QList<qint64> ids;
        QStringList texts;
        qsizetype skip = 0;  // characters of the first line posted before (text joined to it)
        QDateTime shownAt;
    };
    void lineAdded(qint64 id, const QString& text, qint64 caption);
    void lineChanged(qint64 id, const QString& text);
    void lineRemoved(qint64 id);
    void linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements);
    void remember(qint64 id, const QString& text);
    QString* recent(qint64 id);
    qint64 captionOf(qint64 id) const;
    bool editingByHand() const { return handEditing_ && handEditing_(); }
    void flush();

    void restart(bool askSeq);
    void drop();
    void kick();
    void send();
    void askSeq();
    void sent();
    void failed(const QString& why);
    void seqAnswered(bool ok, qint64 last, const QString& why);
    QString describe(QNetworkReply* reply) const;
    void changed() {
        status_.waiting = int(queue_.size());
        emit statusChanged();
    }
    void log(const QString& text);

    RecordMirror& mirror_;
    const Clock& clock_;
    QPointer<QNetworkAccessManager> net_;  // a manager that goes takes its replies along
    Kind kind_ = Kind::Off;
    QString url_;
    QString language_ = QString::fromLatin1(kDefaultLanguage);
    std::function<bool()> handEditing_;
    Timing timing_;

    std::deque<Caption> queue_;
    QPointer<QNetworkReply> reply_;
    bool asking_ = false;     // the reply in flight asks for the last seq
    bool timedOut_ = false;
    bool needSeq_ = false;    // ask for the last seq before the next post
    bool verifying_ = false;  // that ask follows a failed post
    bool failing_ = false;    // since the last post that went through
    bool overflowing_ = false;
    qint64 droppedInRun_ = 0;
    int retryMs_ = 0;
    QTimer timeout_;
    QTimer retry_;
    Status status_;

    std::deque<std::pair<qint64, QString>> recent_;  // record lines as last seen
    QList<Pending> pending_;                         // captions of this turn of the event loop
    QStringList supersededTexts_;                    // this turn's corrections: texts already posted
    QTimer flush_;
};

}  // namespace Audience
