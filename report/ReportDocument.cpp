#include "ReportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace {

// Keys in the order of ReportTexts' members.
struct TextKey {
  const char* key;
  QString ReportTexts::*text;
};
const TextKey kTextKeys[] = {
    {"RapTitolo", &ReportTexts::title},
    {"RapVettura", &ReportTexts::vehicle},
    {"LabelTarga", &ReportTexts::plate},
    {"LabelTelaio", &ReportTexts::vin},
    {"LabelMarca", &ReportTexts::make},
    {"LabelModello", &ReportTexts::model},
    {"LabelProprietario", &ReportTexts::owner},
    {"LabelChilometri", &ReportTexts::odometer},
    {"LabelNote", &ReportTexts::cardNotes},
    {"RapNessunaScheda", &ReportTexts::noCard},
    {"RapCentralina", &ReportTexts::ecu},
    {"RapIdentificazione", &ReportTexts::identification},
    {"RapVersione", &ReportTexts::program},
    {"RapData", &ReportTexts::date},
    {"RapConfigurazione", &ReportTexts::configuration},
    {"RapModifiche", &ReportTexts::changes},
    {"RapDal", &ReportTexts::since},
    {"ColParametro", &ReportTexts::parameter},
    {"RapPrima", &ReportTexts::before},
    {"RapDopo", &ReportTexts::after},
    {"RapRifiutata", &ReportTexts::refused},
    {"RapNessunaModifica", &ReportTexts::noChanges},
    {"LabelDiagnosi", &ReportTexts::diagnosis},
    {"RapVerifica", &ReportTexts::check},
    {"RapNote", &ReportTexts::notes},
    {"RapTecnico", &ReportTexts::technician},
    {"RapCliente", &ReportTexts::customer},
    {"RapTelefono", &ReportTexts::phone},
    {"RapPartitaIva", &ReportTexts::vat},
    {"RapSi", &ReportTexts::yes},
    {"RapNo", &ReportTexts::no},
    {"RapDisattivato", &ReportTexts::off},
};

const QUrl kLogoUrl(QStringLiteral("report://logo"));

QString Escaped(const QString& text) {
  return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString Field(const QString& caption, const QString& value) {
  if (value.isEmpty()) return {};
  return QStringLiteral("<tr><td class='k'>%1</td><td>%2</td></tr>")
      .arg(Escaped(caption), Escaped(value));
}

QString Heading(const QString& text) {
  return QStringLiteral("<h2>%1</h2>").arg(Escaped(text));
}

QString WorkshopHeader(const ReportData& data, bool hasLogo) {
  const WorkshopDetails& w = data.workshop;
  QStringList lines;
  if (!w.address.isEmpty()) lines << Escaped(w.address);
  QStringList contact;
  if (!w.phone.isEmpty()) contact << data.texts.phone + QLatin1Char(' ') + w.phone;
  if (!w.vatNumber.isEmpty()) contact << data.texts.vat + QLatin1Char(' ') + w.vatNumber;
  if (!contact.isEmpty()) lines << Escaped(contact.join(QStringLiteral(" · ")));
  QString html = QStringLiteral("<table width='100%' cellspacing='0' cellpadding='0'><tr>");
  if (hasLogo)
    html += QStringLiteral("<td width='90'><img src='%1' height='60'></td>").arg(kLogoUrl.toString());
  html += QStringLiteral("<td><span class='shop'>%1</span><br>%2</td>")
              .arg(Escaped(w.name), lines.join(QStringLiteral("<br>")));
  html += QStringLiteral("<td align='right' valign='top'><span class='title'>%1</span></td>"
                         "</tr></table>")
              .arg(Escaped(data.texts.title));
  return html + QStringLiteral("<hr>");
}

QString VehicleAndEcu(const ReportData& data) {
  const ReportTexts& t = data.texts;
  QString vehicle;
  if (data.card) {
    const vehicle::Card& c = *data.card;
    const auto s = [](const std::string& text) { return QString::fromStdString(text); };
    vehicle = QStringLiteral("<table class='kv'>") + Field(t.plate, s(c.plate)) +
              Field(t.vin, s(c.vin)) + Field(t.make, s(c.make)) + Field(t.model, s(c.model)) +
              Field(t.owner, s(c.owner)) + Field(t.odometer, s(c.odometer)) +
              Field(t.cardNotes, s(c.notes)) + QStringLiteral("</table>");
  } else {
    vehicle = Escaped(t.noCard);
  }
  const QString ecu = QStringLiteral("<table class='kv'>") +
                      Field(t.identification, data.identification) +
                      Field(t.program, data.programVersion) + Field(t.date, data.date) +
                      QStringLiteral("</table>");
  return QStringLiteral(
             "<table width='100%' cellspacing='0' cellpadding='0'><tr>"
             "<td width='55%' valign='top'>%1%2</td><td width='45%' valign='top'>%3%4</td>"
             "</tr></table>")
      .arg(Heading(t.vehicle), vehicle, Heading(t.ecu), ecu);
}

QString Group(const ReportGroup& group) {
  QString html = QStringLiteral("<table class='grid' width='100%' cellspacing='0' cellpadding='1'>"
                                "<tr><th colspan='2' align='left'>%1</th></tr>")
                     .arg(Escaped(group.title));
  for (const ReportRow& row : group.rows) {
    QString value = Escaped(row.value);
    if (!row.unit.isEmpty()) value += QLatin1Char(' ') + Escaped(row.unit);
    html += QStringLiteral("<tr><td>%1</td><td align='right'>%2</td></tr>")
                .arg(Escaped(row.caption), value);
  }
  return html + QStringLiteral("</table>");
}

// About how many printed lines a group takes in half a page's width: a long
// caption wraps.
int Lines(const ReportGroup& group) {
  constexpr int kCaptionCharactersPerLine = 34;
  int lines = 1;
  for (const ReportRow& row : group.rows)
    lines += 1 + static_cast<int>(row.caption.size()) / kCaptionCharactersPerLine;
  return lines;
}

// The groups in two columns, in their order, each group whole in one of
// them, the split where the two columns come nearest in length.
QString Configuration(const ReportData& data) {
  const QList<ReportGroup>& groups = data.configuration;
  int total = 0;
  for (const ReportGroup& g : groups) total += Lines(g);
  qsizetype split = 0;
  int best = total, inLeft = 0;
  for (qsizetype i = 0; i <= groups.size(); ++i) {
    const int longer = std::max(inLeft, total - inLeft);
    if (longer < best) {
      best = longer;
      split = i;
    }
    if (i < groups.size()) inLeft += Lines(groups[i]);
  }
  QString left, right;
  for (qsizetype i = 0; i < groups.size(); ++i)
    (i < split ? left : right) += Group(groups[i]) + QStringLiteral("<div class='gap'></div>");
  return Heading(data.texts.configuration) +
         QStringLiteral("<table width='100%' cellspacing='0' cellpadding='0'><tr>"
                        "<td width='49%' valign='top'>%1</td><td width='2%'></td>"
                        "<td width='49%' valign='top'>%2</td></tr></table>")
             .arg(left, right);
}

QString Changes(const ReportData& data) {
  const ReportTexts& t = data.texts;
  QString heading = t.changes;
  if (!data.changesSince.isEmpty()) heading += QLatin1Char(' ') + t.since + QLatin1Char(' ') + data.changesSince;
  if (data.changes.isEmpty()) return Heading(heading) + QStringLiteral("<p>%1</p>").arg(Escaped(t.noChanges));
  QString html = Heading(heading) +
                 QStringLiteral("<table class='grid' width='100%' cellspacing='0' cellpadding='1'>"
                                "<tr><th align='left'>%1</th><th align='left'>%2</th>"
                                "<th align='right'>%3</th><th></th><th align='left'>%4</th></tr>")
                     .arg(Escaped(t.date), Escaped(t.parameter), Escaped(t.before), Escaped(t.after));
  for (const ReportChange& c : data.changes) {
    QString after = Escaped(c.newValue);
    if (c.refused) after += QStringLiteral(" <b class='no'>%1</b>").arg(Escaped(t.refused));
    html += QStringLiteral("<tr><td>%1</td><td>%2</td><td align='right'>%3</td>"
                           "<td align='center'>→</td><td>%4</td></tr>")
                .arg(Escaped(c.time), Escaped(c.caption), Escaped(c.oldValue), after);
  }
  return html + QStringLiteral("</table>");
}

QString CheckAndDiagnosis(const ReportData& data) {
  QString html;
  if (!data.diagnosis.isEmpty())
    html += Heading(data.texts.diagnosis) + QStringLiteral("<p>%1</p>").arg(Escaped(data.diagnosis));
  if (data.check) {
    html += Heading(data.texts.check + QStringLiteral(" (") + data.check->taken +
                    QLatin1Char(')')) +
            QStringLiteral("<table class='grid' width='100%' cellspacing='0' cellpadding='1'>");
    for (const ReportCheckBand& band : data.check->bands) {
      const char* look = band.ok ? "ok" : band.judged ? "no" : "nd";
      html += QStringLiteral("<tr><td width='18%'>%1</td><td width='27%'><b class='%2'>%3</b></td>"
                             "<td>%4</td></tr>")
                  .arg(Escaped(band.band), QLatin1String(look), Escaped(band.verdict),
                       Escaped(band.advice));
    }
    html += QStringLiteral("</table>");
  }
  return html;
}

QString NotesAndSignatures(const ReportData& data) {
  const ReportTexts& t = data.texts;
  return Heading(t.notes) +
         QStringLiteral("<table class='notes' width='100%' cellspacing='0' cellpadding='4'>"
                        "<tr><td>&nbsp;<br>&nbsp;<br>&nbsp;<br>&nbsp;<br>&nbsp;</td></tr></table>"
                        "<table width='100%' cellspacing='0' cellpadding='0' class='sign'><tr>"
                        "<td width='45%'><br><br>______________________________<br>%1</td>"
                        "<td width='10%'></td>"
                        "<td width='45%' align='right'><br><br>______________________________<br>%2</td>"
                        "</tr></table>")
             .arg(Escaped(t.technician), Escaped(t.customer));
}

constexpr const char* kStyle =
    "body { font-size: 7.5pt; }"
    "h2 { font-size: 9pt; margin-top: 6px; margin-bottom: 2px; color: #1a3d6d; }"
    ".shop { font-size: 13pt; font-weight: bold; }"
    ".title { font-size: 14pt; font-weight: bold; color: #1a3d6d; }"
    ".k { color: #444444; padding-right: 8px; }"
    "table.grid { border-collapse: collapse; }"
    "table.grid td, table.grid th { border: 1px solid #b0b0b0; }"
    "table.grid th { background-color: #e4eaf2; }"
    "table.notes td { border: 1px solid #808080; }"
    ".no { color: #b00000; }"
    ".ok { color: #006000; }"
    ".nd { color: #606060; }"
    ".gap { font-size: 3pt; }";

constexpr double kLayoutDpi = 96;
constexpr double kFooterHeight = 14;  // the page number, at 96 dots an inch

// The notes and the signatures are one part of the document: when they would
// run over a page break, the notes start the next page.
void KeepNotesWithSignatures(QTextDocument& document, const QString& notesHeading) {
  QTextBlock heading;
  for (QTextBlock block = document.lastBlock(); block.isValid(); block = block.previous()) {
    if (block.text() == notesHeading) {
      heading = block;
      break;
    }
  }
  if (!heading.isValid()) return;
  const double pageHeight = document.pageSize().height();
  const QRectF at = document.documentLayout()->blockBoundingRect(heading);
  const int notesPage = static_cast<int>(at.top() / pageHeight);
  if (notesPage >= document.pageCount() - 1) return;
  QTextBlockFormat format = heading.blockFormat();
  format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  QTextCursor(heading).setBlockFormat(format);
}

}  // namespace

QStringList ReportTextKeys() {
  QStringList keys;
  for (const TextKey& k : kTextKeys) keys << QLatin1String(k.key);
  return keys;
}

ReportTexts LoadReportTexts(const std::function<std::optional<QString>(const QString&)>& lookup) {
  ReportTexts texts;
  for (const TextKey& k : kTextKeys)
    if (const auto found = lookup(QLatin1String(k.key)); found && !found->isEmpty())
      texts.*k.text = *found;
  return texts;
}

std::unique_ptr<QTextDocument> MakeReportDocument(const ReportData& data) {
  auto document = std::make_unique<QTextDocument>();
  document->setDefaultStyleSheet(QLatin1String(kStyle));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(7.5);
  // No ligatures: "ffi" stays three letters, so the PDF's text can be
  // searched and copied as it reads.
  font.setStyleStrategy(QFont::PreferNoShaping);
  document->setDefaultFont(font);
  bool hasLogo = false;
  if (!data.workshop.logoFile.isEmpty()) {
    const QImage logo(data.workshop.logoFile);
    if (!logo.isNull()) {
      document->addResource(QTextDocument::ImageResource, kLogoUrl, logo);
      hasLogo = true;
    }
  }
  document->setHtml(QStringLiteral("<html><body>") + WorkshopHeader(data, hasLogo) +
                    VehicleAndEcu(data) + Configuration(data) + Changes(data) +
                    CheckAndDiagnosis(data) + NotesAndSignatures(data) +
                    QStringLiteral("</body></html>"));
  return document;
}

void PrintReport(const ReportData& data, QPagedPaintDevice& device) {
  device.setPageSize(QPageSize(QPageSize::A4));
  device.setPageMargins(QMarginsF(15, 10, 15, 10), QPageLayout::Millimeter);
  std::unique_ptr<QTextDocument> document = MakeReportDocument(data);
  // Laid out at 96 dots an inch whatever the device (a PDF at 300, a printer
  // at its own): sizes in the text mean the same on every page, and the
  // whole printable area is the page (QTextDocument::print would add
  // margins of its own).
  static QImage metrics = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(kLayoutDpi / 0.0254));
    image.setDotsPerMeterY(qRound(kLayoutDpi / 0.0254));
    return image;
  }();
  document->documentLayout()->setPaintDevice(&metrics);
  document->setDocumentMargin(0);
  const QRectF area = device.pageLayout().paintRect(QPageLayout::Inch);
  const QSizeF page(area.width() * kLayoutDpi, area.height() * kLayoutDpi - kFooterHeight);
  document->setPageSize(page);
  KeepNotesWithSignatures(*document, data.texts.notes);

  QPainter painter(&device);
  const double scale = device.width() / page.width();
  painter.scale(scale, scale);
  QFont footer = document->defaultFont();
  footer.setPixelSize(9);
  painter.setFont(footer);
  const int pages = document->pageCount();
  for (int i = 0; i < pages; ++i) {
    if (i > 0) device.newPage();
    painter.save();
    painter.translate(0, -i * page.height());
    document->drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
    painter.restore();
    if (pages > 1)
      painter.drawText(QRectF(0, page.height(), page.width(), kFooterHeight),
                       Qt::AlignRight | Qt::AlignBottom, QStringLiteral("%1/%2").arg(i + 1).arg(pages));
  }
}

bool WriteReportPdf(const ReportData& data, const QString& path, QString* error) {
  {
    QPdfWriter writer(path);
    writer.setTitle(data.texts.title);
    writer.setCreator(QStringLiteral("Mirel Vantor"));
    writer.setResolution(300);
    PrintReport(data, writer);
  }
  const QFileInfo written(path);
  if (written.exists() && written.size() > 0) return true;
  if (error != nullptr) *error = QStringLiteral("cannot write ") + path;
  return false;
}
