// A small chart of two lambda traces, petrol above gas, each on the probe's
// own scale (lean at the bottom, rich at the top) with its midpoint drawn, so
// a technician sees at a glance whether gas switches as petrol does.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace monitor {

class LambdaPairChart : public QWidget {
  Q_OBJECT

 public:
  explicit LambdaPairChart(QWidget* parent = nullptr);

  // Positions on the probe's scale, 0 lean end to 1 rich end, oldest first.
  void SetTraces(std::vector<double> petrol, std::vector<double> gas);
  void SetCaptions(const QString& petrol, const QString& gas);
  const std::vector<double>& Petrol() const { return petrol_; }
  const std::vector<double>& Gas() const { return gas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<double> petrol_;
  std::vector<double> gas_;
  QString petrolCaption_ = QStringLiteral("Benzina");
  QString gasCaption_ = QStringLiteral("Gas");
};

}  // namespace monitor
