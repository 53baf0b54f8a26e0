#include "style/Symbols.h"

#include "style/StyleLog.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSet>

namespace zova::Symbols {

namespace {

// Symbol name -> Material Icons code point.
const QHash<QString, char16_t>& table()
{
    static const QHash<QString, char16_t> map = {
        { QStringLiteral("magnifyingglass"), 0xe8b6 }, // search
        { QStringLiteral("checkmark"), 0xe5ca }, // check
        { QStringLiteral("circle.lefthalf.filled"), 0xe1ae }, // brightness_medium
        { QStringLiteral("sun.max.fill"), 0xe518 }, // light_mode
        { QStringLiteral("moon.fill"), 0xe51c }, // dark_mode
        { QStringLiteral("line.3.horizontal.decrease"), 0xe152 }, // filter_list
        { QStringLiteral("list.bullet"), 0xe896 }, // list
        { QStringLiteral("square.grid.2x2"), 0xe9b0 }, // grid_view
        { QStringLiteral("clock.arrow.circlepath"), 0xe889 }, // history
        { QStringLiteral("clock"), 0xe8b5 }, // schedule
        { QStringLiteral("arrow.up"), 0xe5d8 }, // arrow_upward
        { QStringLiteral("arrow.down"), 0xe5db }, // arrow_downward
        { QStringLiteral("record.circle.fill"), 0xe837 }, // radio_button_checked
        { QStringLiteral("record.circle"), 0xe837 }, { QStringLiteral("circle.fill"), 0xe061 }, // fiber_manual_record
        { QStringLiteral("doc.text.magnifyingglass"), 0xe880 }, // find_in_page
        { QStringLiteral("doc.richtext"), 0xe873 }, // description
        { QStringLiteral("pencil"), 0xe3c9 }, // edit
        { QStringLiteral("trash"), 0xe872 }, // delete
        { QStringLiteral("ellipsis"), 0xe5d3 }, // more_horiz
        { QStringLiteral("square.stack.3d.up"), 0xe53b }, // layers
        { QStringLiteral("sparkles"), 0xe65f }, // auto_awesome
        { QStringLiteral("questionmark.circle"), 0xe887 }, // help
        { QStringLiteral("gearshape"), 0xe8b8 }, // settings
        { QStringLiteral("xmark"), 0xe5cd }, // close
        { QStringLiteral("pause.fill"), 0xe034 }, // pause
        { QStringLiteral("play.fill"), 0xe037 }, // play_arrow
        { QStringLiteral("stop.fill"), 0xe047 }, // stop
        { QStringLiteral("arrow.clockwise"), 0xe5d5 }, // refresh
        { QStringLiteral("macwindow"), 0xe069 }, // web_asset
        { QStringLiteral("display"), 0xe30c }, // desktop_windows
        { QStringLiteral("plus"), 0xe145 }, // add
        { QStringLiteral("square.and.arrow.up.fill"), 0xe6b8 }, // ios_share
        { QStringLiteral("globe"), 0xe894 }, // language
        { QStringLiteral("doc.text"), 0xef42 }, // article
        { QStringLiteral("play.rectangle.fill"), 0xf06a }, // smart_display
        { QStringLiteral("rectangle.stack.fill"), 0xe3e0 }, // filter_none
        { QStringLiteral("checkmark.circle.fill"), 0xe86c }, // check_circle
        { QStringLiteral("circle"), 0xe836 }, // radio_button_unchecked
        { QStringLiteral("xmark.octagon.fill"), 0xe99a }, // dangerous
        { QStringLiteral("arrow.down.circle.fill"), 0xf000 }, // download_for_offline
        { QStringLiteral("exclamationmark.triangle.fill"), 0xe002 }, // warning
        { QStringLiteral("macwindow.badge.plus"), 0xe05c }, // add_to_queue
        { QStringLiteral("desktopcomputer"), 0xe30a }, // computer
        { QStringLiteral("rectangle.dashed.badge.record"), 0xe0e2 }, // screen_share
        { QStringLiteral("lock.open.fill"), 0xe898 }, // lock_open
        { QStringLiteral("cursorarrow.click.badge.keyboard"), 0xe762 }, // ads_click
        { QStringLiteral("arrow.right"), 0xe5c8 }, // arrow_forward
        { QStringLiteral("plus.rectangle.on.rectangle"), 0xe02e }, // library_add
        { QStringLiteral("hand.tap.fill"), 0xe913 }, // touch_app
        { QStringLiteral("arrow.up.and.down.square.fill"), 0xe8d5 }, // swap_vert
        { QStringLiteral("questionmark.circle.fill"), 0xe887 }, // help
        { QStringLiteral("xmark.circle.fill"), 0xe5c9 }, // cancel
        { QStringLiteral("chevron.left"), 0xe5cb }, // chevron_left
        { QStringLiteral("square.and.arrow.up"), 0xe6b8 }, // ios_share
        { QStringLiteral("waveform"), 0xe1b8 }, // graphic_eq
        { QStringLiteral("waveform.circle.fill"), 0xe1b8 }, // graphic_eq
        { QStringLiteral("speaker.wave.2.fill"), 0xe050 }, // volume_up
        { QStringLiteral("arrow.down.circle"), 0xe2c4 }, // file_download
        { QStringLiteral("eye.slash.fill"), 0xe8f5 }, // visibility_off
        { QStringLiteral("arrow.up.right"), 0xf1e1 }, // north_east
        { QStringLiteral("square.dashed"), 0xe3c2 }, // crop_free
        { QStringLiteral("textformat"), 0xe262 }, // text_fields
        { QStringLiteral("sparkles.rectangle.stack"), 0xe663 }, // auto_fix_high
        { QStringLiteral("crop"), 0xe3be }, // crop
        { QStringLiteral("photo.on.rectangle"), 0xe3f4 }, // image
        { QStringLiteral("briefcase.fill"), 0xe8f9 }, // work
        { QStringLiteral("face.smiling.fill"), 0xe813 }, // sentiment_satisfied
        { QStringLiteral("scissors"), 0xe14e }, // content_cut
        { QStringLiteral("text.alignleft"), 0xe236 }, // format_align_left
        { QStringLiteral("arrow.uturn.backward"), 0xe166 }, // undo
    };
    return map;
}

} // namespace

QChar glyph(const QString& name) { return QChar(table().value(name, 0)); }

bool isKnown(const QString& name) { return table().contains(name); }

QStringList names()
{
    QStringList all = table().keys();
    all.sort();
    return all;
}

QFont font(qreal pixelSize)
{
    QFont f(QStringLiteral("Material Icons"));
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setStyleStrategy(QFont::NoFontMerging);
    return f;
}

void paint(QPainter& painter, const QRectF& rect, const QString& name, qreal pixelSize, const QColor& color)
{
    const QChar g = glyph(name);
    if (g.isNull()) {
        // A name missing from the table shows as an empty box, and says so once.
        static QSet<QString> reported;
        if (!reported.contains(name)) {
            reported.insert(name);
            qCWarning(lcStyle).noquote() << QStringLiteral("Unknown symbol name \"%1\"").arg(name);
        }
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color, qMax(1.0, pixelSize / 12)));
        painter.setBrush(Qt::NoBrush);
        const qreal side = pixelSize * 0.7;
        painter.drawRect(QRectF(rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side)));
        painter.restore();
        return;
    }
    painter.save();
    painter.setFont(font(pixelSize));
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, QString(g));
    painter.restore();
}

QIcon icon(const QString& name, const QColor& color, int pixelSize)
{
    QIcon result;
    for (int scale : { 1, 2 }) {
        QPixmap pm(pixelSize * scale, pixelSize * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint(p, QRectF(0, 0, pixelSize, pixelSize), name, pixelSize, color);
        p.end();
        result.addPixmap(pm);
    }
    return result;
}

} // namespace zova::Symbols
