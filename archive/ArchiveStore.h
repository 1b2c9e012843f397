#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <functional>
#include <optional>
#include <vector>

#include "archive/ArchiveLocation.h"
#include "archive/ArchivedLine.h"
#include "archive/ImageChain.h"
#include "archive/RecordVariants.h"
#include "core/LogRecord.h"
#include "readout/DeviceIdentity.h"

class QSqlDatabase;
class QSqlQuery;

// What one readout (or one imported file) brings into the archive.
struct ArchiveReadout {
  DeviceIdentity device;
  QDateTime readAt;         // local time of the readout; invalid for an imported file
  QList<QByteArray> lines;  // the measurement lines, as in the measurement file
  // The records the lines were written from, one for one, in ring order (the order the device wrote
  // them), kept by the readout's owner until the merge has ended; null for an imported file, whose lines
  // are read back ("." or "," in their values).
  const RecordLog* log = nullptr;
  // How the raw image decodes again: the DecimalSeparator setting and the system's separator.
  QByteArray decimalSeparatorText;
  char systemDecimalSeparator = '.';
  QByteArray image;         // the log header and every block as received; empty for an imported file
  bool fullReadout = true;  // every block was asked for, not only those with new records
  int missedBlocks = 0;     // blocks without a full reply
  // How far its newest record lay behind the reading machine's clock, in minutes; none without one.
  std::optional<double> newestRecordAgeMinutes;
  // A readout of only what is new: the image of the device's last readout that its blocks were patched
  // into, and which records of `log` that image held (RecordsInEarlierImage). While the device's last
  // archived image is that one, those records are known to be archived and are not compared again; else
  // they are.
  QByteArray earlierImage;
  std::vector<bool> inEarlierImage;
};

// What the archive holds of a device's last readout, for reading only what is new since.
struct LastReadout {
  QByteArray image;                 // its raw image, rebuilt
  std::optional<int> missedBlocks;  // nothing for a readout kept before the archive said
  QDateTime lastFullReadout;        // local time of the device's last readout of every block; invalid: none
  QString imageProblem;             // why its image cannot be rebuilt; empty when it was
};

struct MergeResult {
  int added = 0;            // records new to the archive
  int withoutTime = 0;      // records whose time stamp is no valid date and time: not archived
  bool hadReadout = false;  // the device had a readout archived before this one
  // Why what the merge was to keep beside the records failed (MergeAlongside): its changes alone were
  // undone. Empty when it succeeded or there was nothing beside.
  QString alongsideError;
  // Why the image of the device's last readout could not be rebuilt, so that this readout's image was kept
  // whole and not as a patch onto it; empty when it could be.
  QString brokenImage;
};

class ArchiveStore;
// What a merge keeps beside a readout's records in the same transaction: the readout's alarms, which
// thus wait for another program's write as the merge does and are claimed by one program alone.
using MergeAlongside = std::function<void(ArchiveStore&)>;

// A device as "list" shows it.
struct ArchivedDevice {
  qint64 id = 0;
  QString key;
  QString mac;
  int deviceCode = 0;
  QString deviceType;
  QString lastAddress;
  QString lastReadout;  // "yyyy-MM-dd hh:mm:ss", empty when never read out
  qint64 records = 0;
  QString firstTime;  // of its records, empty without records
  QString lastTime;
};

// What decoding the kept raw images again changed for one device.
struct RedecodeResult {
  QString deviceKey;
  int readouts = 0;
  int added = 0;        // records the images give now that the archive lacked
  int removed = 0;      // records archived from the images that they no longer give
  int undecodable = 0;  // images whose device code is unknown
};

// What the check of an archive found.
struct ArchiveCheck {
  QString checked;            // what was checked, in words
  QStringList problems;       // what was found wrong, one line each; empty: the archive is sound
  bool brokenImages = false;  // among them readouts whose image chain is broken, which RepairImages mends
};

// What repairing the images changed for one readout.
struct ImageRepair {
  QString deviceKey;
  qint64 readout = 0;
  QString change;  // in words: what was wrong and what the readout keeps now
};

// How a connection uses the archive. A reading one never writes: it works on a file or folder that takes
// no changes, and reads an archive that is not there yet as an empty one (HoldsArchive() says which).
// An upgrading one brings an archive that is there up to the present schema and makes none where there
// is none.
enum class ArchiveAccess { ReadWrite, ReadOnly, Upgrade };

// A readout's records as a merge takes them, in the order of the archive's key: from its log, or its lines
// read back when it has none; without those its earlier image held unless `allRecords`.
ArchivedLines PrepareArchivedLines(const ArchiveReadout& readout, const QTimeZone& zone,
                                   bool allRecords = false);

// One connection to an archive. Opening creates the schema in an empty database, brings an older
// schema up to date (in one transaction, every record and raw image kept), and refuses (throwing ValdError,
// leaving the database untouched) a database that is not an archive, was written by a newer version or whose
// schema_version holds no version number. Every change runs in one transaction: a failure or a killed program
// leaves the archive as before. Every error is a ValdError that names the archive, on one line; a query that
// ends in an error is an error, never a shorter answer.
class ArchiveStore {
 public:
  // `zone` is the site's time zone, which gives the records' UTC times.
  explicit ArchiveStore(const ArchiveLocation& location, ArchiveAccess access = ArchiveAccess::ReadWrite,
                        const QTimeZone& zone = QTimeZone::systemTimeZone());
  ~ArchiveStore();
  ArchiveStore(const ArchiveStore&) = delete;
  ArchiveStore& operator=(const ArchiveStore&) = delete;

  // Adds the records not archived yet for the device (same local time and pass, same values as
  // numbers), the device's latest details and the raw image.
  MergeResult Merge(const ArchiveReadout& readout);
  // The same with the readout's records prepared already (PrepareArchivedLines), and `alongside` run in
  // the merge's transaction after them.
  MergeResult Merge(const ArchiveReadout& readout, const ArchivedLines& lines,
                    const MergeAlongside& alongside = {});
  // Runs `change` in one write transaction, as a merge runs: it begins once another program's write has
  // ended (waiting for it as long as a merge waits), so that what `change` reads stays so until it has
  // written. `deviceKey` names the one device it changes, if so. What it throws undoes all of it.
  void Change(const std::function<void()>& change, const QString& deviceKey = {});

  // Readies the connection for many merges in a row, as one run of devices read at once brings: on
  // SQLite a page cache for the records of all of them, and the write-ahead log moved into the archive
  // file when the connection closes instead of after every few merges, each time waiting for the disk.
  void PrepareForManyMerges();

  // Every device with the count and the time span of its records.
  QList<ArchivedDevice> Devices();
  // The device with the key `key` (in any case), with its records' count and span.
  std::optional<ArchivedDevice> FindDevice(const QString& key);
  // The same device's row alone, without a look at its records: asked on every readout.
  std::optional<ArchivedDevice> DeviceRow(const QString& key);
  // The MAC address of the device last read at `address` with `deviceCode`, if the archive knows one:
  // asked before every readout, so it reads the devices alone and not their records.
  std::optional<QString> MacLastSeenAt(const QString& address, int deviceCode);
  // Whether a device was read at `address` with `deviceCode` before, with a MAC address or without.
  bool KnowsDeviceAt(const QString& address, int deviceCode);
  // The last readout of the device with the key `deviceKey`, if it has one.
  std::optional<LastReadout> LastReadoutOf(const QString& deviceKey);

  // The device's lines from `from` to `to` (local SQL time text, inclusive; empty: unbounded) in time
  // order, each as it was first archived.
  QList<QByteArray> Lines(qint64 deviceId, const QByteArray& from, const QByteArray& to);
  // The same records with their times and values.
  std::vector<ArchivedLine> Records(qint64 deviceId, const QByteArray& from, const QByteArray& to);
  // Hands the same records to `take` one by one, in time order, holding only a few hours of them at
  // once: an export of any size streams through.
  void EachRecordInTimeOrder(qint64 deviceId, const QByteArray& from, const QByteArray& to,
                             const std::function<void(ArchivedLine&)>& take);
  // The last of those records in time order; nothing when the period holds none.
  std::optional<ArchivedLine> LastRecord(qint64 deviceId, const QByteArray& from, const QByteArray& to);
  qint64 RecordCount(qint64 deviceId, const QByteArray& from, const QByteArray& to);

  // Decodes every kept raw image again with this program's decoder and makes the records archived from
  // readouts what the images give now.
  QList<RedecodeResult> Redecode();

  // Mends every broken image chain, each device in one transaction: a readout whose patch holds every block
  // keeps that as its whole image; any other keeps no image, its records staying archived (as imported ones,
  // which no image vouches for); readouts patched onto a mended one are rebuilt from it. One entry per
  // readout changed.
  QList<ImageRepair> RepairImages();

  // Whether the archive's tables are all there, every readout's image can be rebuilt (each broken chain
  // named by device, readout and where it breaks), and the engine's check
  // of them: SQLite's integrity check; on PostgreSQL, which checks indexes only with an extension, every row
  // and column read through.
  ArchiveCheck Check();

  // Whether there is an archive: false where a reading or upgrading connection found none.
  bool HoldsArchive() const { return holdsArchive_; }
  // The schema version the archive had when it was opened; 0 where there was none.
  int OpenedVersion() const { return openedVersion_; }

  // The archive and its Qt SQL connection, for tables kept beside the archive's own (alarms).
  const ArchiveLocation& Location() const { return location_; }
  QString ConnectionName() const { return connection_; }

 private:
  QSqlQuery Run(const QString& sql, const QVariantList& values = {});
  // The query's next row; false after the last one. A query that ends in an error throws.
  bool NextRow(QSqlQuery& query) const;
  void OpenSqlite(QSqlDatabase& db) const;
  void CheckSqliteFile();
  void UseWriteAheadLog();
  QSet<QString> TableNames();
  int StoredVersion();
  // A write transaction; `deviceKey` names the one device it merges into, if so.
  void Begin(const QString& deviceKey = {});
  void Commit();
  void Rollback();
  // Runs `part` of the transaction under way so that what it throws undoes its own changes alone; its
  // message, or empty when it succeeded.
  QString RunApart(const std::function<void()>& part);
  void PrepareSchema();
  qint64 StoreDevice(const DeviceIdentity& device, const QDateTime& readAt);
  // The raw image of readout `readoutId`, rebuilt from the whole image its patches go back to, or why it
  // cannot be.
  RebuiltImage StoredImage(qint64 readoutId);
  // Every readout of the device as its image is kept, in the order of the readouts.
  std::vector<KeptImage> KeptImagesOf(qint64 deviceId);
  // The readout row for `readout` of the device: its image whole, or patched onto the device's last one.
  struct StoredReadout {
    QVariant id;
    bool followsEarlierImage = false;  // the device's last image was the readout's earlierImage
    QString brokenImage;               // why the device's last image could not be its base
  };
  StoredReadout StoreReadout(qint64 deviceId, const ArchiveReadout& readout);
  struct NewRecord {
    const ArchivedLine* line = nullptr;
    QVariant readoutId;  // null for a line of an imported file
  };
  int InsertRecords(qint64 deviceId, const std::vector<NewRecord>& records,
                    const QString& table = QStringLiteral("records"));
  // The device's records in `table` from local time `first` to `last`, as a merge compares new ones
  // with them.
  std::vector<ArchivedVariant> ArchivedVariants(qint64 deviceId, const QString& table, qint64 first,
                                                qint64 last);
  // Hands each of the device's records from `from` to `to` (as Lines takes them) to `keep`, in the key's
  // order, its line written from its form when the archive keeps one.
  void EachRecord(qint64 deviceId, const QByteArray& from, const QByteArray& to,
                  const std::function<void(ArchivedLine&)>& keep);
  // Carries the records of an archive of version `fromVersion` over into the present records table.
  void CarryRecordsOver(int fromVersion);
  void CarryFirstSchemaRecordsOver(qint64 deviceId);
  void CarrySecondSchemaRecordsOver(qint64 deviceId);
  // The device's records of the older schema's `columns`, a span of time after another in `order`
  // (time first), so that an archive of millions of records is carried over a few thousand at a time:
  // `read` takes a row and gives its time as text, `carry` writes the first so many rows read since.
  void CarryOldRecordsOver(qint64 deviceId, const QString& columns, const QString& order,
                           const std::function<QString(const QSqlQuery&)>& read,
                           const std::function<void(qsizetype)>& carry);
  [[noreturn]] void Fail(const QString& what, const QString& reason) const;

  ArchiveLocation location_;
  QTimeZone zone_;
  bool readOnly_;
  bool makesArchive_;         // a writing connection makes the archive where there is none
  bool holdsArchive_ = true;  // false when a reading or upgrading connection finds no archive there
  int openedVersion_ = 0;
  QString connection_;
};
