#include "PagedConfigWindow.h"

#include <QShowEvent>

namespace {
// The Tag's bits above the low byte are the opener's.
constexpr int kPageMask = 0xFF;
}  // namespace

PagedConfigWindow::PagedConfigWindow(const FormContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {}

PagedConfigWindow::~PagedConfigWindow() {
  // The editor watches the controls: it goes before they do.
  editor_.reset();
}

void PagedConfigWindow::MakeEditor(FieldRows rows, FieldPages pages, FieldEditorOptions options) {
  editor_ = std::make_unique<FieldEditor>(this, *context_.store, rows, pages, PageControl1,
                                          options);
  editor_->SetLiveViewOpener(context_.openLiveView);
}

void PagedConfigWindow::StartOnOpenersPage() {
  editor_->StartOnPage(tag_ & kPageMask);
}

void PagedConfigWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_ || event->spontaneous()) return;
  shown_ = true;
  ShowSteps();
}

void PagedConfigWindow::done(int result) {
  tag_ = editor_->ActivePage();
  QDialog::done(result);
}
