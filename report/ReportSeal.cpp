#include "report/ReportSeal.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QString SealMark = QStringLiteral("VALD records");

QString XmlEscaped(const QString& text) {
  return text.toHtmlEscaped();
}

}  // namespace

QString ReportSealKeywords(const ReportSeal& seal) {
  return QStringLiteral("%1; device=%2; first=%3; last=%4; records=%5; sha256=%6")
      .arg(SealMark, seal.device, seal.first, seal.last)
      .arg(seal.records)
      .arg(QString::fromLatin1(seal.sha256));
}

QByteArray ReportXmpMetadata(const QString& title, const ReportSeal& seal) {
  return QStringLiteral(
             "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
             "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
             "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
             "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' "
             "xmlns:pdf='http://ns.adobe.com/pdf/1.3/' xmlns:xmp='http://ns.adobe.com/xap/1.0/'>\n"
             "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>%1</rdf:li></rdf:Alt></dc:title>\n"
             "<xmp:CreatorTool>VALD CSV</xmp:CreatorTool>\n"
             "<pdf:Keywords>%2</pdf:Keywords>\n"
             "</rdf:Description>\n"
             "</rdf:RDF>\n"
             "</x:xmpmeta>\n"
             "<?xpacket end='w'?>")
      .arg(XmlEscaped(title), XmlEscaped(ReportSealKeywords(seal)))
      .toUtf8();
}

std::optional<ReportSeal> ReadReportSeal(const QByteArray& pdf) {
  static constexpr QByteArrayView Open = "<pdf:Keywords>";
  const qsizetype start = pdf.indexOf(Open);
  const qsizetype end = start < 0 ? -1 : pdf.indexOf("</pdf:Keywords>", start);
  if (end < 0) return std::nullopt;
  QString text = QString::fromUtf8(pdf.mid(start + Open.size(), end - start - Open.size()));
  text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
      .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
      .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
      .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  const QStringList fields = text.split(QStringLiteral("; "));
  if (fields.size() != 6 || fields[0] != SealMark) return std::nullopt;
  ReportSeal seal;
  const auto valueOf = [&](int index, const QString& name) -> std::optional<QString> {
    if (!fields[index].startsWith(name + QLatin1Char('='))) return std::nullopt;
    return fields[index].mid(name.size() + 1);
  };
  const std::optional<QString> device = valueOf(1, QStringLiteral("device"));
  const std::optional<QString> first = valueOf(2, QStringLiteral("first"));
  const std::optional<QString> last = valueOf(3, QStringLiteral("last"));
  const std::optional<QString> records = valueOf(4, QStringLiteral("records"));
  const std::optional<QString> sha256 = valueOf(5, QStringLiteral("sha256"));
  bool counted = false;
  if (!device || !first || !last || !records || !sha256) return std::nullopt;
  seal.records = records->toInt(&counted);
  static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
  if (!counted || !hex.match(*sha256).hasMatch()) return std::nullopt;
  seal.device = *device;
  seal.first = *first;
  seal.last = *last;
  seal.sha256 = sha256->toLatin1();
  return seal;
}
