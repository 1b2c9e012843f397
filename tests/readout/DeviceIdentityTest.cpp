#include <gtest/gtest.h>

#include "readout/DeviceIdentity.h"

namespace {

struct IdentityCase {
  const char* reply;
  const char* key;
};

class IdentityReply : public testing::TestWithParam<IdentityCase> {};

// A device is known by the MAC address its identity reply starts with, unless that is none of its own
// (all zeros, broadcast): then by its address and device code, as one that gives none.
TEST_P(IdentityReply, NamesTheDevice) {
  ReadoutResult result;
  result.host = QStringLiteral("10.0.0.7");
  result.rawImage = QByteArray("\x02\x01", 2);
  result.identity = GetParam().reply;
  EXPECT_EQ(IdentifyDevice(result).key, QString::fromLatin1(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(Replies, IdentityReply,
                         testing::Values(IdentityCase{"00:1a:2b:3c:4d:5e;SN1", "00:1A:2B:3C:4D:5E"},
                                         IdentityCase{"00:00:00:00:00:00;SN1", "10.0.0.7/2"},
                                         IdentityCase{"ff:ff:ff:ff:ff:ff;SN1", "10.0.0.7/2"},
                                         IdentityCase{"", "10.0.0.7/2"}));

}  // namespace
