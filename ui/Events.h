// The two notifications that travel as events: the connection state reported
// by the link library (33168) and the progress of a full read (33169).
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <functional>

#include "EcuLink.h"

constexpr QEvent::Type kConnectionStateEventType = QEvent::Type(33168);
constexpr QEvent::Type kProgressEventType = QEvent::Type(33169);

class ConnectionStateEvent : public QEvent {
 public:
  explicit ConnectionStateEvent(bool connected)
      : QEvent(kConnectionStateEventType), connected_(connected) {}
  bool Connected() const { return connected_; }

 private:
  bool connected_;
};

// percent to add to the present position (add) or to set (!add).
class ProgressEvent : public QEvent {
 public:
  ProgressEvent(int percent, bool add) : QEvent(kProgressEventType), percent_(percent), add_(add) {}
  int Percent() const { return percent_; }
  bool Add() const { return add_; }

 private:
  int percent_;
  bool add_;
};

// Sends the progress event at once to the window active now; nothing when no
// window is active.
void SendProgressToActiveWindow(int percent, bool add);

// The sink handed to the link with AttachScreen. The link may call it from a
// thread of its own, so it only posts; when the news is delivered on the
// user-interface thread, it goes to the window active at that moment. A window
// that handles it accepts the event; when none is active or the active one
// does not accept it, the fallback window (the main window) gets it.
class ConnectionStateRelay : public QObject, public ecu::ConnectionSink {
 public:
  explicit ConnectionStateRelay(QObject* parent = nullptr) : QObject(parent) {}
  void ConnectionChanged(bool connected) override;
  // Names, at delivery time, the window that hears the news no other window
  // took (the main window).
  void SetFallbackWindow(std::function<QWidget*()> fallback) { fallback_ = std::move(fallback); }

 protected:
  void customEvent(QEvent* event) override;

 private:
  std::function<QWidget*()> fallback_;
};
