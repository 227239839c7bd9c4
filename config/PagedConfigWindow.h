// What the optional and software configuration windows have in common: a
// page control of rows edited through a FieldEditor, the program's objects
// from the FormContext, and the Tag through which the opener hands the page
// to start on (low byte) and reads back the page active at closing.
#pragma once

#include <QDialog>
#include <memory>

#include "FieldEditor.h"
#include "FormContext.h"

class QTabWidget;

class PagedConfigWindow : public QDialog {
  Q_OBJECT

 public:
  ~PagedConfigWindow() override;

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  FieldEditor& Editor() { return *editor_; }

  // Closing (any way) puts the active page into Tag.
  void done(int result) override;

  QTabWidget* PageControl1 = nullptr;

 protected:
  // context.store must be set.
  PagedConfigWindow(const FormContext& context, QWidget* parent);

  // After the window built its controls and PageControl1.
  void MakeEditor(FieldRows rows, FieldPages pages, FieldEditorOptions options);
  // The window's show steps, once, when it is first shown.
  virtual void ShowSteps() = 0;
  // Starts on the page in Tag's low byte at its first navigable row.
  void StartOnOpenersPage();

  void showEvent(QShowEvent* event) override;

  FormContext context_;
  std::unique_ptr<FieldEditor> editor_;

 private:
  int tag_ = 0;
  bool shown_ = false;
};
