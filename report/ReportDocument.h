// The handover report as a document: one or two A4 pages laid out from a
// ReportData, written as PDF with Qt's own writer or handed to a printer.
// Qt Gui only, so ecuctl makes the very same document without any window.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "ReportData.h"

class QPagedPaintDevice;
class QTextDocument;

// The dictionary keys of the report's own words, in ReportTexts order.
QStringList ReportTextKeys();
// The report's words from a lookup (key -> text); a key without a text keeps
// the Italian word.
ReportTexts LoadReportTexts(const std::function<std::optional<QString>(const QString&)>& lookup);

// The document laid out for A4 with 15 mm margins.
std::unique_ptr<QTextDocument> MakeReportDocument(const ReportData& data);
// Prints the document on any paged device (a PDF writer, a printer).
void PrintReport(const ReportData& data, QPagedPaintDevice& device);
// Writes the report as a PDF file; false (and why) when it cannot.
bool WriteReportPdf(const ReportData& data, const QString& path, QString* error);
