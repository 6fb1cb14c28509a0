#include "console/app/window/message_log_model.h"

#include <algorithm>

namespace zt {

int MessageLogModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant MessageLogModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
  if (role == Qt::DisplayRole) return lines_[static_cast<size_t>(index.row())].text;
  return {};
}

void MessageLogModel::append(const QStringList& lines, const QFontMetrics& metrics) {
  if (lines.isEmpty()) return;
  const int first = static_cast<int>(lines_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(lines.size()) - 1);
  for (const QString& text : lines) {
    const int width = metrics.horizontalAdvance(text);
    const uint64_t number = firstNumber_ + lines_.size();
    // A line at least as wide as earlier ones outlasts them: they can never
    // be the widest again.
    while (!widest_.empty() && widest_.back().second <= width) widest_.pop_back();
    widest_.emplace_back(number, width);
    lines_.push_back({text, width});
  }
  endInsertRows();

  const int excess = static_cast<int>(lines_.size()) - kLines;
  if (excess <= 0) return;
  beginRemoveRows(QModelIndex(), 0, excess - 1);
  for (int i = 0; i < excess; ++i) {
    if (!widest_.empty() && widest_.front().first == firstNumber_) widest_.pop_front();
    lines_.pop_front();
    ++firstNumber_;
  }
  endRemoveRows();
}

QSize WidestLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  // The line's own size is its text plus the style's margins.
  const int margins = size.width() - option.fontMetrics.horizontalAdvance(index.data().toString());
  size.setWidth(std::max(size.width(), model_->widest() + margins));
  return size;
}

}  // namespace zt
