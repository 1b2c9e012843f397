#include "LimitsDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

LimitsDialog::LimitsDialog(const QString& path, const QByteArray& text,
                           std::function<QString(const QByteArray&)> check, QWidget* parent)
    : QDialog(parent), editor_(new QPlainTextEdit(this)), check_(std::move(check)) {
  setWindowTitle(tr("Határértékek"));
  auto* layout = new QVBoxLayout(this);
  auto* rules = new QLabel(
      tr("%1\nSoronként egy szabály: ESZKÖZ;CSATORNA;ALSÓ;FELSŐ vagy "
         "ESZKÖZ;CSATORNA;ALSÓ;FELSŐ;KÉSLELTETÉS;HISZTERÉZIS\n"
         "ESZKÖZ: MAC-cím, cím, CÍM:PORT, eszköztípus nagybetűkkel (pl. IOLITE) vagy *; CSATORNA: az "
         "érték oszlopa (1 = az első) vagy mennyiség (temperature, humidity, co2 ...)\n"
         "ALSÓ, FELSŐ: szám ponttal, vagy üres; KÉSLELTETÉS: ennyi percig tartó túllépés riaszt; "
         "HISZTERÉZIS: ennyivel kell a határon belülre érni a riasztás végéhez (üresen 0); # után "
         "megjegyzés. A legszűkebb szabály érvényes.")
          .arg(path),
      this);
  rules->setWordWrap(true);
  layout->addWidget(rules);
  editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  editor_->setPlainText(QString::fromUtf8(text));
  layout->addWidget(editor_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Save)->setText(tr("Mentés"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("Mégse"));
  connect(buttons, &QDialogButtonBox::accepted, this, &LimitsDialog::Save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(640, 420);
}

QByteArray LimitsDialog::Text() const {
  QByteArray text = editor_->toPlainText().toUtf8();
  if (!text.isEmpty() && !text.endsWith('\n')) text.append('\n');
  return text;
}

void LimitsDialog::Save() {
  problem_ = check_(Text());
  if (problem_.isEmpty()) {
    accept();
  } else {
    QMessageBox::warning(this, windowTitle(), problem_);
  }
}

std::optional<QByteArray> EditLimits(QWidget* parent, const QString& path, const QByteArray& text,
                                     const std::function<QString(const QByteArray&)>& check) {
  LimitsDialog dialog(path, text, check, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Text();
}
