#include "TcpFeed.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include "Units.h"

namespace standin {

namespace {

// Some servers send no banner: log in anyway after this long.
constexpr int kLoginWaitMs = 2000;
// Read at most this much per wake-up so one busy peer cannot starve the window.
constexpr qint64 kReadChunk = qint64{64} * 1024;

}  // namespace

bool SplitHostPort(const QString& text, QString& host, quint16& port) {
  const int colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0) return false;
  QString h = text.left(colon).trimmed();
  if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']'))) h = h.mid(1, h.size() - 2);
  bool ok = false;
  const uint p = text.mid(colon + 1).trimmed().toUInt(&ok);
  if (!ok || p == 0 || p > 65535 || h.isEmpty()) return false;
  host = h;
  port = static_cast<quint16>(p);
  return true;
}

TTcpFeed::TTcpFeed(QString kind, QString host, quint16 port)
    : m_kind(std::move(kind)), m_host(std::move(host)), m_port(port) {
  m_schedule = [this](int ms, std::function<void()> retry) { QTimer::singleShot(ms, this, std::move(retry)); };
}

TTcpFeed::~TTcpFeed() { CloseSocket(); }

void TTcpFeed::CloseSocket() {
  ++m_generation;
  if (m_socket) {
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket.reset();
  }
}

QString TTcpFeed::Description() const { return QStringLiteral("%1: %2:%3").arg(m_kind, m_host).arg(m_port); }

void TTcpFeed::Start() {
  if (m_running) return;
  m_running = true;
  m_delay.Reset();
  Connect();
}

void TTcpFeed::Stop() {
  m_running = false;
  ++m_generation;
  if (m_socket) {
    // Close politely: what we wrote still goes out, then the socket goes.
    QTcpSocket* old = m_socket.release();
    old->disconnect(this);
    old->disconnectFromHost();
    old->deleteLater();
  }
  OnReset();
  SetState(QStringLiteral("stopped"));
}

void TTcpFeed::Connect() {
  if (!m_running) return;
  OnReset();
  m_socket = std::make_unique<QTcpSocket>();
  QTcpSocket* socket = m_socket.get();
  connect(socket, &QTcpSocket::connected, this, [this] {
    ShowState();
    OnConnected();
  });
  connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
    while (m_socket.get() == socket && socket->bytesAvailable() > 0) {
      const QByteArray chunk = socket->read(kReadChunk);
      if (chunk.isEmpty()) break;
      OnBytes(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
    }
  });
  connect(socket, &QTcpSocket::disconnected, this, [this] { HandleDrop(QStringLiteral("connection closed")); });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { HandleDrop(socket->errorString()); });
  SetState(QStringLiteral("connecting to %1:%2").arg(m_host).arg(m_port));
  socket->connectToHost(m_host, m_port);
}

void TTcpFeed::HandleDrop(const QString& why) {
  if (!m_running || !m_socket) return;
  m_lastError = why;
  // The socket may be inside its own signal: let the event loop delete it.
  QTcpSocket* old = m_socket.release();
  old->disconnect(this);
  old->abort();
  old->deleteLater();
  OnReset();
  const int delay = m_delay.Next();
  SetState(QStringLiteral("%1; retrying in %2 s (last error: %3)")
               .arg(Description())
               .arg(delay / units::kMillisecondsPerSecond)
               .arg(why));
  const int generation = m_generation;
  m_schedule(delay, [this, generation] {
    if (generation == m_generation) Connect();
  });
}

void TTcpFeed::Send(const QByteArray& bytes) {
  if (m_socket) m_socket->write(bytes);
}

void TTcpFeed::CountLine() {
  ++m_lines;
  m_delay.Reset();
  ShowState();
}

void TTcpFeed::ShowState() {
  QString state = QStringLiteral("connected to %1:%2, %3 lines received").arg(m_host).arg(m_port).arg(m_lines);
  if (m_dropped > 0) state += QStringLiteral(", %1 dropped").arg(m_dropped);
  if (!m_lastError.isEmpty()) state += QStringLiteral(" (last error: %1)").arg(m_lastError);
  SetState(state);
}

// ---- APRS-IS ---------------------------------------------------------------

TAprsIsFeed::TAprsIsFeed(QString host, quint16 port, TAprsIsLogin login, bool followView)
    : TTcpFeed(QStringLiteral("aprsis"), std::move(host), port), m_login(std::move(login)), m_followView(followView) {
  m_clock = [steady = std::make_shared<QElapsedTimer>()] {
    if (!steady->isValid()) steady->start();
    return static_cast<std::int64_t>(steady->elapsed());
  };
  m_later = [this](int ms, std::function<void()> then) { QTimer::singleShot(ms, this, std::move(then)); };
  m_loginTimer.setSingleShot(true);
  m_loginTimer.setInterval(kLoginWaitMs);
  connect(&m_loginTimer, &QTimer::timeout, this, &TAprsIsFeed::SendLogin);
  m_splitter.OnLine = [this](std::string_view line) {
    if (IsServerComment(line)) {
      SendLogin();  // the banner: the server is ready for our login
      return;
    }
    if (line.empty()) return;
    CountLine();
    emit LineReceived(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
  };
}

void TAprsIsFeed::OnConnected() { m_loginTimer.start(); }

void TAprsIsFeed::SendLogin() {
  m_loginTimer.stop();
  if (m_loggedIn) return;
  m_loggedIn = true;
  TAprsIsLogin login = m_login;
  login.Filter = CurrentFilter();
  Send(QByteArray::fromStdString(AprsIsLoginLine(login)));
  m_pacer.LoggedIn(login.Filter, m_clock());
}

std::string TAprsIsFeed::CurrentFilter() const {
  if (!m_followView) return m_login.Filter;
  return m_view ? ViewFilter(*m_view) : std::string();
}

void TAprsIsFeed::ViewChanged(const TMapRect& view) {
  m_view = view;
  if (!m_followView) return;
  m_pacer.Want(CurrentFilter());
  PaceFilter();
}

void TAprsIsFeed::FollowView(bool on) {
  m_followView = on;
  m_pacer.Want(CurrentFilter());
  PaceFilter();
}

void TAprsIsFeed::PaceFilter() {
  const std::int64_t now = m_clock();
  if (const auto filter = m_pacer.Take(now)) Send(QByteArray::fromStdString("#filter " + *filter + "\r\n"));
  const auto due = m_pacer.DueIn(now);
  if (!due || m_paceScheduled) return;
  m_paceScheduled = true;
  m_later(static_cast<int>(*due), [this] {
    m_paceScheduled = false;
    PaceFilter();
  });
}

void TAprsIsFeed::OnBytes(std::string_view bytes) {
  const int before = m_splitter.Overlong;
  m_splitter.Feed(bytes);
  if (m_splitter.Overlong != before) {
    CountDropped(m_splitter.Overlong - before);
    ShowState();
  }
}

void TAprsIsFeed::OnReset() {
  m_splitter.Reset();
  m_loginTimer.stop();
  m_loggedIn = false;
  m_pacer.Reset();
}

// ---- KISS over TCP ---------------------------------------------------------

TKissFeed::TKissFeed(QString host, quint16 port) : TTcpFeed(QStringLiteral("kiss"), std::move(host), port) {
  m_decoder.OnLine = [this](const std::string& line, int kissPort) {
    CountLine();
    emit RadioLineReceived(QByteArray::fromStdString(line), kissPort + 1);
  };
}

void TKissFeed::OnBytes(std::string_view bytes) {
  const int before = m_decoder.Dropped + m_decoder.Oversize;
  m_decoder.Feed(bytes);
  const int after = m_decoder.Dropped + m_decoder.Oversize;
  if (after != before) {
    CountDropped(after - before);
    ShowState();
  }
}

void TKissFeed::OnReset() { m_decoder.Reset(); }

}  // namespace standin
