#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <future>
#include <thread>

#include "JpegImage.h"
#include "archive/ArchiveChannels.h"
#include "core/ProgramModule.h"
#include "core/ValdError.h"
#include "link/DeviceLink.h"
#include "operations/ExportFormats.h"

// This program, like the window, links neither the UDP exchange, the workbook writer nor the picture
// decoder in: they come from their modules, which the build puts beside it.
class ExchangeSocket;
extern "C" ExchangeSocket* ValdOpenExchangeSocket(const DeviceLink& link) __attribute__((weak));
extern "C" void ValdWriteXlsxExport(const ExportTable& table, const QStringList& header, const QString& path)
    __attribute__((weak));
extern "C" void ValdDecodeJpeg(const QByteArray& jpeg, QImage& image) __attribute__((weak));

TEST(ProgramModule, ExchangeGoesThroughTheModule) {
  ASSERT_TRUE(ValdOpenExchangeSocket == nullptr);
  // The device answers from a thread of its own while the exchange waits blocking; a plain socket, so
  // that Qt keeps no data for that thread.
  std::promise<quint16> listening;
  std::thread device([&listening] {
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const auto named = reinterpret_cast<sockaddr*>(&address);
    if (socket < 0 || bind(socket, named, length) != 0 || getsockname(socket, named, &length) != 0) {
      listening.set_value(0);
    } else {
      listening.set_value(ntohs(address.sin_port));
      pollfd waiting{socket, POLLIN, 0};
      char request[16];
      if (poll(&waiting, 1, 5000) == 1 && recvfrom(socket, request, sizeof request, 0, named, &length) >= 0)
        sendto(socket, "pong", 4, 0, named, length);
    }
    if (socket >= 0) close(socket);
  });
  DeviceLink link;
  link.host = QStringLiteral("127.0.0.1");
  link.port = listening.get_future().get();
  uint8_t reply[16] = {};
  int length = 0;
  try {
    if (link.port != 0) length = link.Exchange("ping", 5000, reply, sizeof reply);
  } catch (const ValdError& error) {
    ADD_FAILURE() << error.Message().toStdString();
  }
  device.join();
  ASSERT_NE(link.port, 0);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(reply), 4), "pong");
}

TEST(ProgramModule, WorkbookGoesThroughTheModule) {
  ASSERT_TRUE(ValdWriteXlsxExport == nullptr);
  ExportTable table;
  table.channels = ChannelsOf(*FindDeviceType(2));
  table.rows.push_back({1700000000, 1700000000 - 3600, {21.5}});
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("log.xlsx"));
  WriteExport(table, ExportFormat::Xlsx, path, false);
  QFile workbook(path);
  ASSERT_TRUE(workbook.open(QIODevice::ReadOnly));
  EXPECT_EQ(workbook.read(2), "PK");  // a zip container
}

TEST(ProgramModule, PictureDecoderComesFromTheModule) {
  ASSERT_TRUE(ValdDecodeJpeg == nullptr);
  EXPECT_TRUE(DecodeJpeg(QByteArray("not a picture")).isNull());
}

TEST(ProgramModule, MissingModuleIsNamed) {
  try {
    ProgramModuleFunction("vald-none", "ValdNothing");
    FAIL() << "a module that is nowhere was loaded";
  } catch (const ValdError& error) {
    EXPECT_TRUE(
        error.Message().startsWith(QStringLiteral("Cannot load the program module vald-none: not found in ")))
        << error.Message().toStdString();
  }
}
