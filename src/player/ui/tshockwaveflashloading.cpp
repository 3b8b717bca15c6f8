// TShockwaveFlash's loading: a local file read at once, or a web address streamed in as it downloads,
// with the progress, the ready states and the explanation shown when a movie cannot be had.
#include "player/ui/tshockwaveflash.h"

#include "player/moviescriptfiles.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace kivamo {

namespace {
constexpr qint64 kMaxScriptTextBytes = 16 * 1024 * 1024;  // LoadVars and XML files a script reads
}

void TShockwaveFlash::loadFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        fail(tr("无法读取影片文件：%1").arg(path));
        return;
    }
    setReadyState(1);
    if (file.size() > m_maxBytes) {
        fail(tooLarge());
        return;
    }
    acceptBytes(file.readAll());
    if (m_player)
        finishMovie();
}

void TShockwaveFlash::download(const QString& address)
{
    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(m_transferTimeout);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &TShockwaveFlash::replyData);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &TShockwaveFlash::replyProgress);
    connect(m_reply, &QNetworkReply::finished, this, &TShockwaveFlash::replyFinished);
    setReadyState(1);
}

void TShockwaveFlash::replyData()
{
    // An error page is no movie; its bytes are left alone and the status is reported when the reply ends.
    int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300)
        return;
    acceptBytes(m_reply->readAll());
    // The percentage goes with the bytes the movie has, so it is never behind the frames shown.
    qint64 total = m_reply ? m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() : 0;
    if (m_player && total > 0 && m_message.isEmpty())
        raiseProgress(int(std::clamp<qint64>(qint64(m_player->bytesLoaded()) * 100 / total, 0, 100)));
}

void TShockwaveFlash::replyProgress(qint64 received, qint64 total)
{
    if (total > 0 && m_message.isEmpty()) {
        raiseProgress(int(std::clamp<qint64>(received * 100 / total, 0, 100)));
        if (!m_player || !m_player->ready())
            update();  // the loading text shows the percentage
    }
}

void TShockwaveFlash::replyFinished()
{
    QPointer<QNetworkReply> reply = m_reply;
    if (!reply)
        return;
    reply->deleteLater();
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QNetworkReply::NetworkError error = reply->error();
    if (status >= 300 || error == QNetworkReply::ContentNotFoundError) {
        QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        fail(tr("下载失败：服务器回答 %1 %2").arg(status).arg(reason).trimmed());
    } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        fail(tr("下载失败：服务器长时间没有响应"));
    } else if (error == QNetworkReply::ConnectionRefusedError || error == QNetworkReply::HostNotFoundError) {
        fail(tr("下载失败：无法连接到服务器（%1）").arg(reply->errorString()));
    } else if (error != QNetworkReply::NoError) {
        fail(tr("下载失败：%1").arg(reply->errorString()));
    } else {
        acceptBytes(reply->readAll());
        if (m_message.isEmpty())
            finishMovie();
    }
    m_reply = nullptr;
}

void TShockwaveFlash::acceptBytes(const QByteArray& bytes)
{
    if (!m_message.isEmpty())
        return;
    if (!m_player) {
        m_player = std::make_unique<swf::Player>();
        m_player->setListener(this);
        m_player->setLooping(m_loop);
        m_player->setSharedObjectFolder(sharedObjectFolderFor(m_sharedObjectRoot, m_source).toStdString());
        m_player->setLanguage(flashLanguage(QLocale::system()).toStdString());
        if (!m_audio)
            m_audio = std::make_unique<swf::AudioOutput>();
        m_audio->setPlayer(m_player.get());
        m_audio->setPaused(false);
    }
    bool wasReady = m_player->ready();
    if (qint64(m_player->bytesLoaded()) + bytes.size() > m_maxBytes) {
        fail(tooLarge());
        return;
    }
    if (!m_player->appendBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))) {
        fail(tr("无法播放：这不是 Flash 影片（SWF 文件应以 FWS、CWS 或 ZWS 开头）"));
        return;
    }
    if (!wasReady && m_player->ready()) {
        setReadyState(3);
        restartClock();
        m_dirty = true;
        update();
    }
}

void TShockwaveFlash::finishMovie()
{
    m_player->finishLoading();
    if (!m_player->ready()) {
        fail(m_player->header().signature.empty() ? tr("无法播放：影片文件不完整或已损坏")
                                                  : tr("无法播放：影片中没有可以显示的帧"));
        return;
    }
    if (m_readyState < 3) {
        setReadyState(3);
        restartClock();
    }
    raiseProgress(100);
    setReadyState(4);
    m_dirty = true;
    update();
    emit loadEnded();
}

QString TShockwaveFlash::tooLarge() const
{
    return tr("无法播放：影片大于 %1 MB").arg(double(m_maxBytes) / (1024 * 1024), 0, 'f', 0);
}

void TShockwaveFlash::fail(const QString& why)
{
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_timer.stop();
    abortScriptLoads();
    if (m_audio)
        m_audio->setPlayer(nullptr);
    m_player.reset();
    m_message = why;
    m_dirty = true;
    update();
    emit loadEnded();
}

bool TShockwaveFlash::loadText(const std::string& url, std::string& text)
{
    // Scripts read text files beside a local movie; web addresses are not fetched for them.
    return readScriptText(scriptFilePath(m_source, QString::fromStdString(url)), kMaxScriptTextBytes, text);
}

bool TShockwaveFlash::loadMovie(const std::string& url, std::vector<std::uint8_t>& bytes)
{
    // Movies a local movie loads or imports come from beside it, as its text files do, within the size limit.
    std::string data;
    if (!readScriptText(scriptFilePath(m_source, QString::fromStdString(url)), m_maxBytes, data))
        return false;
    bytes.assign(data.begin(), data.end());
    return true;
}

bool TShockwaveFlash::requestText(int request, const std::string& url, const std::string& method,
                                  const std::string& body)
{
    const QUrl address = scriptWebAddress(m_source, QString::fromStdString(url));
    if (!m_network || !m_player || !address.isValid())
        return false;
    QNetworkRequest ask(address);
    ask.setTransferTimeout(m_transferTimeout);
    ask.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = nullptr;
    if (method == "POST") {
        ask.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
        reply = m_network->post(ask, QByteArray::fromStdString(body));
    } else {
        reply = m_network->get(ask);
    }
    m_scriptReplies << reply;
    // An answer larger than a script may read is cut off rather than kept growing in memory.
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > kMaxScriptTextBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, request] { scriptReplyFinished(reply, request); });
    return true;
}

void TShockwaveFlash::scriptReplyFinished(QNetworkReply* reply, int request)
{
    m_scriptReplies.removeAll(reply);
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status < 300;
    const QByteArray bytes = ok ? reply->read(kMaxScriptTextBytes + 1) : QByteArray();
    if (m_player)
        m_player->textArrived(request, ok && bytes.size() <= kMaxScriptTextBytes, bytes.toStdString());
}

void TShockwaveFlash::abortScriptLoads()
{
    // The movie that asked is going: its answers must not reach the next one.
    const auto replies = m_scriptReplies;
    m_scriptReplies.clear();
    for (const QPointer<QNetworkReply>& reply : replies) {
        if (!reply)
            continue;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

}  // namespace kivamo
