// A hardware or Bluetooth KISS TNC on a serial device:
//
//   Feed=serial:/dev/ttyUSB0:9600   ; 8 data bits, no parity, 1 stop bit
//   SerialFlow=rtscts               ; hardware flow control (default: none)
//   SerialInit=KISS ON\rRESTART\r   ; sent once after each opening
//
// The frames go through the same KISS deframer and AX.25 conversion as the
// KISS-over-TCP feed. A device that goes away (USB unplugged, Bluetooth link
// lost) or cannot be opened is tried again with the network feeds' growing
// delay; the host window shows why.
#pragma once

#include <QSerialPort>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "AprsIs.h"
#include "Feed.h"
#include "Kiss.h"

namespace standin {

inline constexpr qint32 kDefaultSerialSpeed = 9600;

struct TSerialSetting {
  std::string Device;
  qint32 Speed = kDefaultSerialSpeed;
  std::string Problem;  // why the setting cannot be used, or empty
};

// "DEVICE:SPEED" (the part after "serial:"); a device without ":SPEED" runs at
// kDefaultSerialSpeed. `exists` tells whether a path names a file, for device
// names that hold colons themselves (/dev/serial/by-path/...).
TSerialSetting ParseSerialSetting(std::string_view text, const std::function<bool(const std::string&)>& exists);

// SerialInit text with "\r", "\n" and "\\" turned into CR, LF and a backslash.
std::string UnescapeSerialInit(std::string_view text);

// The state line for a device that would not open; `accessible` tells whether
// this user may read and write it (when not, the dialout group is the cure).
QString SerialOpenProblem(QSerialPort::SerialPortError error, const QString& device, const QString& why,
                          bool accessible);

class TSerialFeed : public TFeed {
  Q_OBJECT
 public:
  using TRetryScheduler = std::function<void(int milliseconds, std::function<void()> retry)>;

  // Read at most this much per event-loop turn; the port holds no more than
  // kPortBufferBytes, so a TNC that floods us waits in the kernel, not in memory.
  static constexpr qint64 kReadChunk = 4096;
  static constexpr qint64 kPortBufferBytes = 16384;

  TSerialFeed(QString device, qint32 speed, bool hardwareFlow, QByteArray init);
  ~TSerialFeed() override;

  void Start() override;
  void Stop() override;
  QString Description() const override;
  void SetRetryScheduler(TRetryScheduler scheduler) { m_schedule = std::move(scheduler); }

  int LinesReceived() const { return m_lines; }
  int Dropped() const { return m_dropped; }
  int Openings() const { return m_openings; }
  QString LastError() const { return m_lastError; }
  const TKissDecoder& Decoder() const { return m_decoder; }

 private:
  void Open();
  void ReadSome();
  void HandleDrop(const QString& why);
  void ClosePort();
  void ShowState();

  QString m_device;
  qint32 m_speed;
  bool m_hardwareFlow;
  QByteArray m_init;
  std::unique_ptr<QSerialPort> m_port;
  TKissDecoder m_decoder;
  TReconnectDelay m_delay;
  TRetryScheduler m_schedule;
  bool m_running = false;
  bool m_readPending = false;
  int m_generation = 0;  // retries and reads scheduled for an earlier port are void
  int m_lines = 0;
  int m_dropped = 0;
  int m_openings = 0;
  QString m_lastError;
};

}  // namespace standin
