#pragma once
// The lines of the message log (control 110) behind its list box.
//
// A list box that measures every line at every layout makes each added line
// cost as much as all the lines before it. This model keeps, beside the
// lines, the width of the widest one as lines come and go, and the box lays
// its lines out as one uniform size: one line's height and the widest
// line's width (WidestLineDelegate), so the horizontal scroll bar still
// reaches the end of the longest line. Adding a line costs the same however
// many the log holds.
//
// The log keeps the kLines most recent lines; older ones go, so a long
// session, or a report of thousands of lines logged at every preset switch,
// never grows it without bound. Window thread only.
#include <QAbstractListModel>
#include <QFontMetrics>
#include <QStringList>
#include <QStyledItemDelegate>
#include <cstdint>
#include <deque>
#include <utility>

namespace zt {

class MessageLogModel : public QAbstractListModel {
 public:
  static constexpr int kLines = 5000;

  explicit MessageLogModel(QObject* parent) : QAbstractListModel(parent) {}
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Adds `lines` after the last line, as one insertion, measured with
  // `metrics`; then lets the oldest lines beyond kLines go, as one removal.
  void append(const QStringList& lines, const QFontMetrics& metrics);
  // The width in pixels of the widest line held.
  int widest() const { return widest_.empty() ? 0 : widest_.front().second; }

 private:
  struct Line {
    QString text;
    int width;
  };
  std::deque<Line> lines_;
  uint64_t firstNumber_ = 0;  // running number of lines_.front()
  // The lines wider than every line after them, by running number, widest
  // first: the front is the widest line held.
  std::deque<std::pair<uint64_t, int>> widest_;
};

// Sizes the log's lines for a view with uniform item sizes, which asks one
// line (its last) for the size of all: that line's size, widened to the
// widest line's.
class WidestLineDelegate : public QStyledItemDelegate {
 public:
  WidestLineDelegate(const MessageLogModel* model, QObject* parent)
      : QStyledItemDelegate(parent), model_(model) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const MessageLogModel* model_;
};

}  // namespace zt
