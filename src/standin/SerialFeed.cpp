#include "SerialFeed.h"

#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <charconv>

#include "Units.h"

namespace standin {

namespace {

// Far above any serial TNC, low enough to be a typing error.
constexpr qint32 kMaxSerialSpeed = 4000000;

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TSerialSetting ParseSerialSetting(std::string_view text, const std::function<bool(const std::string&)>& exists) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  TSerialSetting setting;
  const std::size_t colon = text.rfind(':');
  const std::string_view speed = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  setting.Device = std::string(text.substr(0, colon));
  if (colon != std::string_view::npos && !AllDigits(speed)) {
    if (exists && exists(std::string(text))) {
      setting.Device = std::string(text);  // a device name with colons of its own, at the usual speed
    } else {
      setting.Problem = "unusable serial speed \"" + std::string(speed) + "\" (bits per second, such as 9600)";
      return setting;
    }
  } else if (colon != std::string_view::npos) {
    qint32 value = 0;
    const auto [end, error] = std::from_chars(speed.data(), speed.data() + speed.size(), value);
    if (error != std::errc() || end != speed.data() + speed.size() || value <= 0 || value > kMaxSerialSpeed) {
      setting.Problem = "unusable serial speed \"" + std::string(speed) + "\" (bits per second, such as 9600)";
      return setting;
    }
    setting.Speed = value;
  }
  if (setting.Device.empty()) setting.Problem = "no serial device given (serial:DEVICE:SPEED)";
  return setting;
}

std::string UnescapeSerialInit(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == 'r' || next == 'n' || next == '\\') {
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

QString SerialOpenProblem(QSerialPort::SerialPortError error, const QString& device, const QString& why,
                          bool accessible) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return QStringLiteral("%1 not found (is the TNC plugged in or paired?)").arg(device);
    case QSerialPort::PermissionError:
      if (!accessible)
        return QStringLiteral(
                   "permission denied on %1: join the dialout group (sudo usermod -aG dialout $USER) and log in again")
            .arg(device);
      return QStringLiteral("%1 is in use by another program (%2)").arg(device, why);
    case QSerialPort::OpenError: return QStringLiteral("%1 is already open").arg(device);
    default: return QStringLiteral("cannot open %1: %2").arg(device, why);
  }
}

TSerialFeed::TSerialFeed(QString device, qint32 speed, bool hardwareFlow, QByteArray init)
    : m_device(std::move(device)), m_speed(speed), m_hardwareFlow(hardwareFlow), m_init(std::move(init)) {
  m_schedule = [this](int ms, std::function<void()> retry) { QTimer::singleShot(ms, this, std::move(retry)); };
  m_decoder.OnLine = [this](const std::string& line, int kissPort) {
    ++m_lines;
    m_delay.Reset();
    ShowState();
    emit RadioLineReceived(QByteArray::fromStdString(line), kissPort + 1);
  };
}

TSerialFeed::~TSerialFeed() { ClosePort(); }

QString TSerialFeed::Description() const {
  return QStringLiteral("serial: %1 at %2 bit/s%3")
      .arg(m_device)
      .arg(m_speed)
      .arg(m_hardwareFlow ? QStringLiteral(", RTS/CTS") : QString());
}

void TSerialFeed::Start() {
  if (m_running) return;
  m_running = true;
  m_delay.Reset();
  Open();
}

void TSerialFeed::Stop() {
  m_running = false;
  ClosePort();
  m_decoder.Reset();
  SetState(QStringLiteral("stopped"));
}

void TSerialFeed::ClosePort() {
  ++m_generation;
  m_readPending = false;
  if (m_port) {
    // The port may be inside its own signal: let the event loop delete it.
    QSerialPort* old = m_port.release();
    old->disconnect(this);
    old->close();
    old->deleteLater();
  }
}

void TSerialFeed::Open() {
  if (!m_running) return;
  ClosePort();
  m_decoder.Reset();  // half a frame from before a drop never joins the next one
  m_port = std::make_unique<QSerialPort>();
  QSerialPort* port = m_port.get();
  port->setPortName(m_device);
  port->setBaudRate(m_speed);
  port->setDataBits(QSerialPort::Data8);
  port->setParity(QSerialPort::NoParity);
  port->setStopBits(QSerialPort::OneStop);
  port->setFlowControl(m_hardwareFlow ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
  port->setReadBufferSize(kPortBufferBytes);
  if (!port->open(QIODevice::ReadWrite)) {
    const QFileInfo info(m_device);
    const bool accessible = !info.exists() || (info.isReadable() && info.isWritable());
    HandleDrop(SerialOpenProblem(port->error(), m_device, port->errorString(), accessible));
    return;
  }
  ++m_openings;
  connect(port, &QSerialPort::readyRead, this, &TSerialFeed::ReadSome);
  connect(port, &QSerialPort::errorOccurred, this, [this, port](QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || m_port.get() != port) return;
    HandleDrop(QStringLiteral("%1: %2").arg(m_device, port->errorString()));
  });
  if (!m_init.isEmpty()) port->write(m_init);
  ShowState();
  if (port->bytesAvailable() > 0) ReadSome();
}

void TSerialFeed::ReadSome() {
  if (!m_port) return;
  QSerialPort* port = m_port.get();
  const QByteArray chunk = port->read(kReadChunk);
  if (!chunk.isEmpty()) {
    const int before = m_decoder.Dropped + m_decoder.Oversize;
    m_decoder.Feed(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
    const int after = m_decoder.Dropped + m_decoder.Oversize;
    if (after != before) {
      m_dropped += after - before;
      ShowState();
    }
  }
  // More waiting: the rest in a later turn, so the window is served in between.
  if (m_port.get() == port && port->bytesAvailable() > 0 && !m_readPending) {
    m_readPending = true;
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
      if (generation != m_generation) return;
      m_readPending = false;
      ReadSome();
    });
  }
}

void TSerialFeed::HandleDrop(const QString& why) {
  if (!m_running) return;
  m_lastError = why;
  ClosePort();
  m_decoder.Reset();
  const int delay = m_delay.Next();
  SetState(QStringLiteral("%1; retrying in %2 s").arg(why).arg(delay / units::kMillisecondsPerSecond));
  const int generation = m_generation;
  m_schedule(delay, [this, generation] {
    if (generation == m_generation) Open();
  });
}

void TSerialFeed::ShowState() {
  QString state = QStringLiteral("open, %1 lines received").arg(m_lines);
  if (m_dropped > 0) state += QStringLiteral(", %1 dropped").arg(m_dropped);
  if (!m_lastError.isEmpty()) state += QStringLiteral(" (last error: %1)").arg(m_lastError);
  SetState(state);
}

}  // namespace standin
