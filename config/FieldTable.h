// A configuration window's rows as plain data: one FieldRow per row, naming
// the row's caption label and input by their object names (which are also
// their dictionary keys), the parameter it edits by its id, and the window's
// change handler, if any. The range, step and unit an edit enforces are its
// parameter's, in the parameter table. Pages, for windows that have them,
// record the index of their first row. Tables are constexpr arrays in the
// window's own header, so a test can hold them against the parameter list.
#pragma once

#include <span>

#include "Parameters.h"

enum class FieldKind { Edit, CheckBox, List };

// No change handler for the row.
constexpr int kNoHandler = 0;

// Why a row's change handler runs.
enum class HandlerPhase {
  // The user toggled the row's check box or committed a list choice: the
  // handler writes what follows from it, and reports a refused write.
  WriteChange,
  // The row was just read from the store: the handler shows the stored state.
  ShowStored,
};

// A plain parameter, not one element of an array.
constexpr int kNoElement = -1;

struct FieldRow {
  const char* caption;   // object name of the caption label
  const char* input;     // object name of the edit, check box or list
  FieldKind kind;
  params::Id parameter;  // None: the row's handler alone reads and writes the store
  int element;           // kNoElement, or the element of an array parameter
  int handler;           // the window's own handler number; kNoHandler = none
};

// The range, step and unit key an edit row enforces: its parameter's, as the
// parameter table gives them. A check box or a list has none.
constexpr params::EditLimits LimitsOf(const FieldRow& row) {
  if (row.kind != FieldKind::Edit) return {};
  return params::Row(row.parameter).edit;
}

struct FieldPage {
  const char* name;  // object name of the page (its dictionary key too)
  int firstRow;      // index of the page's first row
};

using FieldRows = std::span<const FieldRow>;
using FieldPages = std::span<const FieldPage>;

// Index of the page that holds row (the last page whose first row is not
// after it); 0 without pages.
constexpr int PageOfRow(FieldPages pages, int row) {
  int page = 0;
  for (std::size_t p = 1; p < pages.size(); ++p)
    if (pages[p].firstRow <= row) page = static_cast<int>(p);
  return page;
}
