#include "audience/online_captions.h"

#include "audience/clock.h"
#include "audience/record_mirror.h"
#include "audience/ruby_text.h"
#include "text/text_filter.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <utility>

namespace Audience {
namespace {

// The address's own query, byte for byte, less any seq and lang of its own (ours are added).
QString ownQuery(const QUrl& url) {
    QStringList keep;
    for (const QString& item : url.query(QUrl::FullyEncoded).split(u'&', Qt::SkipEmptyParts)) {
        const QString key = item.section(u'=', 0, 0);
        if (key != QLatin1String("seq") && key != QLatin1String("lang")) keep << item;
    }
    return keep.join(u'&');
}

bool usable(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool hasText(const QString& line) { return !line.trimmed().isEmpty(); }

// The plain text of record lines as one caption: ruby readings in parentheses, no empty lines
// before or after.
QString captionText(QStringList lines) {
    for (QString& l : lines) l = rubyToPlain(parseRuby(l));
    while (!lines.isEmpty() && !hasText(lines.first())) lines.removeFirst();
    while (!lines.isEmpty() && !hasText(lines.last())) lines.removeLast();
    return lines.join(u'\n');
}

}  // namespace

OnlineCaptions::OnlineCaptions(RecordMirror& mirror, const Clock& clock, QObject* parent)
    : QObject(parent), mirror_(mirror), clock_(clock) {
    timeout_.setSingleShot(true);
    retry_.setSingleShot(true);
    flush_.setSingleShot(true);
    flush_.setInterval(0);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        if (!reply_) return;
        timedOut_ = true;
        reply_->abort();  // finishes the reply, as a failure
    });
    connect(&retry_, &QTimer::timeout, this, [this] {
        kick();
        changed();
    });
    connect(&flush_, &QTimer::timeout, this, &OnlineCaptions::flush);
    connect(&mirror, &RecordMirror::lineAdded, this, &OnlineCaptions::lineAdded);
    connect(&mirror, &RecordMirror::lineChanged, this, &OnlineCaptions::lineChanged);
    connect(&mirror, &RecordMirror::lineRemoved, this, &OnlineCaptions::lineRemoved);
    connect(&mirror, &RecordMirror::linesCorrected, this, &OnlineCaptions::linesCorrected);
}

OnlineCaptions::~OnlineCaptions() { drop(); }

OnlineCaptions::Kind OnlineCaptions::kindOf(QStringView word) {
    if (word == QLatin1String("zoom")) return Kind::Zoom;
    if (word == QLatin1String("youtube")) return Kind::YouTube;
    return Kind::Off;
}

QString OnlineCaptions::wordOf(Kind kind) {
    switch (kind) {
    case Kind::Zoom: return QStringLiteral("zoom");
    case Kind::YouTube: return QStringLiteral("youtube");
    case Kind::Off: break;
    }
    return QStringLiteral("off");
}

bool OnlineCaptions::isActive() const { return net_ && kind_ != Kind::Off && usable(url_); }

void OnlineCaptions::setNetwork(QNetworkAccessManager* network) {
    if (network == net_) return;
    drop();
    net_ = network;
    restart(true);
    kick();
    changed();
}

// ---------------------------------------------------------------------------------------------
// The requests

QUrl OnlineCaptions::postUrl(const QUrl& destination, Kind kind, qint64 seq, const QString& language) {
    QStringList query;
    if (const QString own = ownQuery(destination); !own.isEmpty()) query << own;
    query << QStringLiteral("seq=") + QString::number(seq);
    if (kind == Kind::Zoom) query << QStringLiteral("lang=") + QString::fromLatin1(QUrl::toPercentEncoding(language));
    QUrl url = destination;
    url.setQuery(query.join(u'&'), QUrl::StrictMode);
    url.setFragment({});
    return url;
}

QUrl OnlineCaptions::seqUrl(const QUrl& destination) {
    QString path = destination.path(QUrl::FullyEncoded);
    while (path.endsWith(u'/')) path.chop(1);
    QUrl url = destination;
    url.setPath(path + QStringLiteral("/seq"));
    url.setQuery(ownQuery(destination), QUrl::StrictMode);
    if (url.query().isEmpty()) url.setQuery(QString());
    url.setFragment({});
    return url;
}

QByteArray OnlineCaptions::body(Kind kind, const QString& text, const QDateTime& shownAt) {
    if (kind != Kind::YouTube) return text.toUtf8();
    QString lines = text;
    lines.replace(u'\n', QLatin1String("<br>"));
    return (shownAt.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + u'\n' + lines + u'\n').toUtf8();
}

// ---------------------------------------------------------------------------------------------
// Following the display: the lines one change adds are one caption, posted once this turn of the
// event loop is over, when a correction batch has said which of its lines are unchanged.

void OnlineCaptions::remember(qint64 id, const QString& text) {
    if (QString* known = recent(id)) {
        *known = text;
        return;
    }
    recent_.emplace_back(id, text);
    if (recent_.size() > size_t(kRecentLines)) recent_.pop_front();
}

qint64 OnlineCaptions::captionOf(qint64 id) const {
    const auto& lines = mirror_.lines();
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->id == id) return it->caption;
    return -id;
}

QString* OnlineCaptions::recent(qint64 id) {
    for (auto it = recent_.rbegin(); it != recent_.rend(); ++it)
        if (it->first == id) return &it->second;
    return nullptr;
}

void OnlineCaptions::lineAdded(qint64 id, const QString& text, qint64 caption) {
    remember(id, text);
    if (!isActive() || editingByHand()) return;
    if (pending_.isEmpty() || pending_.last().caption != caption) pending_.append({caption, {}, {}, 0, clock_.now()});
    pending_.last().ids.append(id);
    pending_.last().texts.append(text);
    flush_.start();
}

void OnlineCaptions::lineChanged(qint64 id, const QString& text) {
    for (Pending& p : pending_) {
        if (const qsizetype k = p.ids.indexOf(id); k >= 0) {
            p.texts[k] = text;
            remember(id, text);
            return;
        }
    }
    const QString* known = recent(id);
    const QString before = known ? *known : QString();
    remember(id, text);
    // Text joined to a line that was already posted (blank-line-only mode): the joined part is
    // what appeared. A shorter line was taken back, which the platform cannot do.
    if (!known || !isActive() || editingByHand() || text.size() <= before.size() || !text.startsWith(before)) return;
    pending_.append({captionOf(id), {id}, {text}, before.size(), clock_.now()});
    flush_.start();
}

void OnlineCaptions::lineRemoved(qint64 id) {
    for (auto it = recent_.begin(); it != recent_.end(); ++it) {
        if (it->first == id) {
            recent_.erase(it);
            break;
        }
    }
    for (qsizetype i = pending_.size() - 1; i >= 0; --i) {
        Pending& p = pending_[i];
        const qsizetype k = p.ids.indexOf(id);
        if (k < 0) continue;
        p.ids.removeAt(k);
        p.texts.removeAt(k);
        if (p.ids.isEmpty()) pending_.removeAt(i);
    }
}

// A correction batch appends the corrected screenful. The platform has the old lines already:
// the new lines that only repeat them are not posted again, only those with a change. Compared as
// running text from the top and from the bottom, since the sender's display wraps its lines at its
// own width.
void OnlineCaptions::linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements) {
    QString before, after;
    for (qint64 id : superseded)
        if (const QString* t = recent(id)) before += *t;
    struct Ref {
        qint64 id;
        qsizetype from, to;  // in `after`
    };
    QList<Ref> refs;
    for (qint64 id : replacements) {
        for (const Pending& p : pending_) {
            if (const qsizetype k = p.ids.indexOf(id); k >= 0) {
                refs.append({id, after.size(), after.size() + p.texts[k].size()});
                after += p.texts[k];
                break;
            }
        }
    }
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    qsizetype tail = 0;
    const qsizetype room = qMin(before.size(), after.size()) - head;
    while (tail < room && before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) ++tail;
    for (const Ref& r : refs) {
        if (r.to > head && r.from < after.size() - tail) continue;  // holds a change
        for (Pending& p : pending_) {
            if (const qsizetype k = p.ids.indexOf(r.id); k >= 0) {
                p.ids.removeAt(k);
                p.texts.removeAt(k);
                break;
            }
        }
    }
    pending_.removeIf([](const Pending& p) { return p.ids.isEmpty(); });
}

void OnlineCaptions::flush() {
    for (Pending& p : std::exchange(pending_, {})) {
        if (!p.texts.isEmpty()) p.texts.first() = p.texts.first().mid(p.skip);
        const QString text = captionText(p.texts);
        if (!text.isEmpty()) post(text, p.shownAt);
    }
}

// ---------------------------------------------------------------------------------------------
// Posting: one request at a time, the queue's head first.

void OnlineCaptions::setKind(Kind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    if (kind == Kind::Off) {
        drop();
        queue_.clear();
        pending_.clear();
        needSeq_ = false;
    } else {
        restart(true);
    }
    kick();
    changed();
}

void OnlineCaptions::setUrl(const QString& url) {
    const QString trimmed = url.trimmed();
    if (trimmed == url_) return;
    url_ = trimmed;
    restart(true);
    kick();
    changed();
}

void OnlineCaptions::setLanguage(const QString& language) {
    language_ = language.trimmed().isEmpty() ? QString::fromLatin1(kDefaultLanguage) : language.trimmed();
}

// Posting starts over, at a new address or for another platform: the request in flight is
// abandoned (its caption waits again at the head); a meeting is asked where its numbers stand.
void OnlineCaptions::restart(bool askSeq) {
    drop();
    retry_.stop();
    retryMs_ = 0;
    verifying_ = false;
    needSeq_ = askSeq && kind_ == Kind::Zoom;
    if (needSeq_)
        for (Caption& c : queue_) c.seq = 0;
}

void OnlineCaptions::drop() {
    timeout_.stop();
    if (!reply_) return;
    QNetworkReply* r = std::exchange(reply_, nullptr).data();
    r->disconnect(this);
    r->abort();
    r->deleteLater();
}

void OnlineCaptions::post(const QString& text, const QDateTime& shownAt) {
    if (!isActive()) return;
    if (queue_.size() >= size_t(kQueueLimit)) {
        // The head may be on its way (or carry its seq): the one after it goes.
        const bool keepHead = reply_ || queue_.front().seq != 0;
        queue_.erase(queue_.begin() + (keepHead ? 1 : 0));
        ++status_.dropped;
        ++droppedInRun_;
        if (!overflowing_) {
            overflowing_ = true;
            log(QStringLiteral("送信待ちが%1件を超えたため、古いものから捨てています。").arg(kQueueLimit));
        }
    }
    queue_.push_back({text, shownAt});
    kick();
    changed();
}

void OnlineCaptions::kick() {
    if (!isActive() || reply_ || retry_.isActive()) return;
    if (needSeq_) askSeq();
    else if (!queue_.empty()) send();
}

void OnlineCaptions::send() {
    Caption& c = queue_.front();
    if (c.seq == 0) c.seq = status_.nextSeq++;
    QNetworkRequest request(postUrl(QUrl(url_), kind_, c.seq, language_));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("text/plain; charset=utf-8"));
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Quelta"));
    asking_ = false;
    timedOut_ = false;
    reply_ = net_->post(request, body(kind_, c.text, c.shownAt));
    connect(reply_, &QNetworkReply::finished, this, [this] {
        timeout_.stop();
        QNetworkReply* r = std::exchange(reply_, nullptr).data();
        r->deleteLater();
        const int code = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (r->error() == QNetworkReply::NoError && code >= 200 && code < 300) sent();
        else failed(describe(r));
    });
    timeout_.start(timing_.timeoutMs);
    changed();
}

void OnlineCaptions::askSeq() {
    QNetworkRequest request(seqUrl(QUrl(url_)));
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Quelta"));
    asking_ = true;
    timedOut_ = false;
    reply_ = net_->get(request);
    connect(reply_, &QNetworkReply::finished, this, [this] {
        timeout_.stop();
        QNetworkReply* r = std::exchange(reply_, nullptr).data();
        r->deleteLater();
        asking_ = false;
        const int code = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        bool number = false;
        const qint64 last = r->readAll().trimmed().toLongLong(&number);
        const bool answered = r->error() == QNetworkReply::NoError && code >= 200 && code < 300;
        if (answered && number && last >= 0) seqAnswered(true, last, {});
        else seqAnswered(false, 0, answered ? QStringLiteral("答えが番号ではありません") : describe(r));
    });
    timeout_.start(timing_.timeoutMs);
    changed();
}

void OnlineCaptions::seqAnswered(bool ok, qint64 last, const QString& why) {
    needSeq_ = false;
    const bool verifying = std::exchange(verifying_, false);
    if (ok) {
        status_.nextSeq = verifying ? qMax(status_.nextSeq, last + 1) : last + 1;
        // The caption whose answer was lost did arrive: it is not sent again.
        if (!queue_.empty() && queue_.front().seq != 0 && queue_.front().seq <= last) return sent();
    } else if (!verifying) {
        status_.nextSeq = 1;
        status_.lastError = QStringLiteral("最後の番号を問い合わせできませんでした（%1）。1番から送ります").arg(why);
        status_.lastErrorAt = clock_.now();
        log(status_.lastError + u'。');
    }
    kick();
    changed();
}

void OnlineCaptions::sent() {
    const Caption c = queue_.front();
    queue_.pop_front();
    ++status_.sent;
    status_.lastSent = c.text;
    status_.lastSentAt = clock_.now();
    retryMs_ = 0;
    if (failing_) {
        failing_ = false;
        log(QStringLiteral("送信できるようになりました。"));
    }
    if (overflowing_ && queue_.size() < size_t(kQueueLimit)) {
        log(QStringLiteral("送信待ちからあふれて捨てた字幕：%1件（これまでに%2件）").arg(droppedInRun_).arg(status_.dropped));
        overflowing_ = false;
        droppedInRun_ = 0;
    }
    kick();
    changed();
}

void OnlineCaptions::failed(const QString& why) {
    status_.lastError = why;
    status_.lastErrorAt = clock_.now();
    if (!failing_) {
        failing_ = true;
        log(QStringLiteral("送信できません：%1。送れるまで繰り返します。").arg(why));
    }
    // The platform may have taken the caption although its answer never came: ask before resending.
    if (kind_ == Kind::Zoom) needSeq_ = verifying_ = true;
    retryMs_ = retryMs_ == 0 ? timing_.firstRetryMs : qMin(2 * retryMs_, timing_.longestRetryMs);
    retry_.start(retryMs_);
    changed();
}

QString OnlineCaptions::describe(QNetworkReply* reply) const {
    if (timedOut_) return QStringLiteral("%1秒待っても応答がありません").arg(timing_.timeoutMs / 1000.0);
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (code != 0 && (code < 200 || code >= 300)) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
        return QStringLiteral("送信先が受け付けませんでした（HTTP %1%2）")
            .arg(code)
            .arg(reason.isEmpty() ? QString() : u' ' + reason);
    }
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError: return QStringLiteral("送信先に接続を断られました");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("送信先のサーバー（%1）が見つかりません").arg(reply->url().host());
    case QNetworkReply::RemoteHostClosedError: return QStringLiteral("送信先が途中で接続を切りました");
    case QNetworkReply::TimeoutError: return QStringLiteral("送信先に接続できません（時間切れ）");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("送信先と安全な接続（HTTPS）を確立できません");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QStringLiteral("ネットワークにつながっていません");
    default: break;
    }
    return QStringLiteral("送信できませんでした（%1）").arg(reply->errorString());
}

void OnlineCaptions::log(const QString& text) {
    emit explain(Text::ClockText(clock_.now().time()) + QStringLiteral(",[自分],（オンライン字幕）") + text);
}

}  // namespace Audience
