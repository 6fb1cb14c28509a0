#include "controls/tooltips.h"

#include "controls/control_widget.h"
#include "controls/text_codec.h"

#include <QFontMetrics>
#include <QToolTip>
#include <QWidget>

namespace zt {

void Tip_set(QWidget* control, const std::string& text) {
  Ctl_checkthread();
  if (!control) return;
  QString tip = Text_toqt(text);
  // Tips wider than 200 pixels are wrapped: Qt wraps rich text to the
  // width of its table.
  if (QFontMetrics(QToolTip::font()).horizontalAdvance(tip) > 200)
    tip = QStringLiteral("<table width=\"200\"><tr><td>") + tip.toHtmlEscaped() +
          QStringLiteral("</td></tr></table>");
  control->setToolTip(tip);
}

}  // namespace zt
