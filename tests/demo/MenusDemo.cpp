// The owner-drawn bar menus in both looks, to look at under a real X server: a live main menu and
// pop-up menu, and pictures of menus with every kind of item, every separator style and side bars
// with gradients, pictures and captions on both sides.
//
//   menus_demo            the window
//   menus_demo --popup    the window with the live pop-up menu open

#include "BarMenus.h"
#include "Bitmap.h"
#include "Canvas.h"
#include "MenuWidgets.h"
#include "OsFlags.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>

namespace {
QFont demoFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

// Little coloured shapes for the image list and the item bitmaps.
QImage glyph(QColor colour, int shape)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setBrush(colour);
    if (shape == 0)
        painter.drawRect(2, 2, 11, 11);
    else if (shape == 1)
        painter.drawEllipse(2, 2, 11, 11);
    else
        painter.drawPolygon(QPolygon({QPoint(8, 1), QPoint(14, 14), QPoint(1, 14)}));
    return image;
}

// A bitmap whose pixels without alpha stay transparent.
TBitmap *bitmapOf(const QImage &image)
{
    auto *bitmap = new TBitmap;
    bitmap->Image() = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return bitmap;
}

TMenuItem *add(TMenuItem *parent, const QString &caption, const QString &hint = QString())
{
    auto *item = new TMenuItem(parent);
    item->setCaption(caption);
    item->setHint(hint);
    parent->Add(item);
    return item;
}

// Every kind of item: plain, checked, radio, disabled, default, with an image, with a bitmap,
// with a shortcut, a sub-menu, and a second column.
void fillItems(TMenu *menu, TImageList *images)
{
    TMenuItem *root = menu->Items();
    add(root, QString::fromUtf8("Отвори"))->setImageIndex(0);
    TMenuItem *save = add(root, QString::fromUtf8("Запиши"));
    save->setImageIndex(1);
    save->setShortCut(QKeySequence(Qt::CTRL | Qt::Key_S));
    add(root, QStringLiteral("-"));
    add(root, QString::fromUtf8("Отметнат"))->setChecked(true);
    TMenuItem *radio = add(root, QString::fromUtf8("Радио"));
    radio->setRadioItem(true);
    radio->setChecked(true);
    add(root, QString::fromUtf8("Забранен"))->setEnabled(false);
    add(root, QString::fromUtf8("Основно"))->setDefault(true);
    TMenuItem *bitmap = add(root, QString::fromUtf8("С картинка"));
    std::unique_ptr<TBitmap> picture(bitmapOf(glyph(QColor(40, 160, 60), 2)));
    bitmap->setBitmap(picture.get());
    TMenuItem *sub = add(root, QString::fromUtf8("Подменю"));
    add(sub, QString::fromUtf8("Първо"));
    add(sub, QString::fromUtf8("Второ"));
    add(root, QStringLiteral("-"), QString::fromUtf8("Край"));
    TMenuItem *exit = add(root, QString::fromUtf8("Изход"));
    exit->setShortCut(QKeySequence(Qt::ALT | Qt::Key_F4));
    TMenuItem *column = add(root, QString::fromUtf8("Втора колона"));
    column->setBreak(mbBarBreak);
    add(root, QString::fromUtf8("Още"));
    menu->setImages(images);
}

void drawTile(TBitmap &tile)
{
    tile.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.Canvas().SetPixel(x, y, (x / 4 + y / 4) % 2 ? RGB(60, 90, 160) : RGB(90, 130, 210));
}

// A picture of a menu, as it shows when it is open.
QLabel *pictureOf(TLumCustomBarPopupMenu *menu, const QString &title, QWidget *parent)
{
    auto *box = new QLabel(parent);
    TMenuWidget *widget = menu->Widget();
    menu->BarCache()->setMeasuring(true);
    widget->resize(widget->sizeHint());
    box->setPixmap(widget->grab());
    box->setToolTip(title);
    auto *caption = new QLabel(title, parent);
    caption->setFont(demoFont());
    box->setProperty("caption", QVariant::fromValue<QObject *>(caption));
    return box;
}

class DemoWindow : public QMainWindow
{
public:
    DemoWindow()
    {
        setWindowTitle(QStringLiteral("Bar menus"));
        setFont(demoFont());
        m_images = new TImageList(this);
        m_images->Add(glyph(QColor(230, 200, 60), 0));
        m_images->Add(glyph(QColor(60, 110, 220), 1));

        buildMainMenu();
        buildPopup();

        auto *central = new QWidget(this);
        auto *grid = new QGridLayout(central);
        grid->setSpacing(8);
        int cell = 0;
        auto place = [&](TLumCustomBarPopupMenu *menu, const QString &title) {
            QLabel *picture = pictureOf(menu, title, central);
            auto *caption = qobject_cast<QLabel *>(picture->property("caption").value<QObject *>());
            const int row = cell / 5 * 2, column = cell % 5;
            grid->addWidget(caption, row, column, Qt::AlignLeft | Qt::AlignBottom);
            grid->addWidget(picture, row + 1, column, Qt::AlignLeft | Qt::AlignTop);
            ++cell;
        };

        // Both looks, every kind of item, a bar on each side.
        auto *xp = popup(msWindowsXP);
        fillItems(xp, m_images);
        xp->Bar()->BarCaption()->setCaption(QStringLiteral("Windows XP"));
        place(xp, QString::fromUtf8("XP, лента отляво"));
        auto *standard = popup(msStandard);
        fillItems(standard, m_images);
        standard->Bar()->setSide(sRight);
        standard->Bar()->setGradientStyle(gsDiagonalLeftRight);
        standard->Bar()->setGradientStart(RGB(200, 40, 40));
        standard->Bar()->setGradientEnd(RGB(250, 220, 120));
        standard->Bar()->BarCaption()->setCaption(QString::fromUtf8("Стандартен"));
        standard->Bar()->BarCaption()->setDirection(dUpToDown);
        standard->Bar()->BarCaption()->setAlignment(vaTop);
        standard->Bar()->BarCaption()->setShadowColor(clBlack);
        place(standard, QString::fromUtf8("стандартен, лента отдясно"));

        // Bars: a tiled picture, a stretched one, a picture under the caption.
        auto *tiled = popup(msWindowsXP);
        plainItems(tiled, 6);
        drawTile(tiled->Bar()->BarBackPicture()->Picture());
        tiled->Bar()->BarBackPicture()->setTransparent(false);
        tiled->Bar()->BarBackPicture()->setDrawStyle(dsTile);
        tiled->Bar()->setBorder(clNavy);
        tiled->Bar()->BarCaption()->setCaption(QString::fromUtf8("Плочки"));
        tiled->Bar()->BarCaption()->setHighlightColor(clBlack);
        place(tiled, QString::fromUtf8("фон от плочки"));
        auto *pictured = popup(msWindowsXP);
        plainItems(pictured, 6);
        pictured->Bar()->BarPicture()->Picture().LoadFromResourceName(QStringLiteral("MAINICON"));
        pictured->Bar()->BarPicture()->setTransparent(false);
        pictured->Bar()->setGradientStyle(gsHorizontal);
        pictured->Bar()->BarCaption()->setCaption(QStringLiteral("Cinaxo"));
        place(pictured, QString::fromUtf8("картина и надпис"));
        auto *right = popup(msStandard);
        plainItems(right, 6);
        right->Bar()->setSide(sRight);
        right->Bar()->setGradientStyle(gsDiagonalRightLeft);
        right->Bar()->BarCaption()->setCaption(QString::fromUtf8("Отдясно"));
        right->Bar()->BarCaption()->setAlignment(vaMiddle);
        place(right, QString::fromUtf8("диагонал, отдясно"));

        // Separators in every style, with and without a caption.
        const struct
        {
            const char *title;
            TSeparatorStyle style;
            bool flat, fade;
            TAlignment alignment;
        } separators[] = {
            {"ssNormal", ssNormal, false, false, taCenter},
            {"ssNormal, FlatLines", ssNormal, true, false, taLeftJustify},
            {"ssNormal, Fade", ssNormal, false, true, taCenter},
            {"ssShortLine", ssShortLine, false, false, taCenter},
            {"ssCaption, taRightJustify", ssCaption, false, false, taRightJustify},
        };
        for (const auto &s : separators) {
            auto *menu = popup(msWindowsXP);
            menu->Bar()->setVisible(false);
            menu->Separators()->setSeparatorStyle(s.style);
            menu->Separators()->setFlatLines(s.flat);
            menu->Separators()->setFade(s.fade);
            menu->Separators()->setAlignment(s.alignment);
            add(menu->Items(), QString::fromUtf8("Първо"));
            add(menu->Items(), QStringLiteral("-"));
            add(menu->Items(), QString::fromUtf8("Второ"));
            add(menu->Items(), QStringLiteral("-"), QString::fromUtf8("Надпис"));
            add(menu->Items(), QString::fromUtf8("Трето"));
            place(menu, QString::fromLatin1(s.title));
        }

        auto *hint = new QLabel(
            QString::fromUtf8("Десен бутон: изскачащо меню с прозрачност 200 и плосък ръб"), central);
        grid->addWidget(hint, 4, 0, 1, 5);
        setCentralWidget(central);
    }

    void openPopup() { m_popup->Popup(mapToGlobal(QPoint(420, 120))); }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override { m_popup->Popup(event->globalPos()); }

private:
    TLumCustomBarPopupMenu *popup(TLumMenuStyle style)
    {
        auto *menu = new TLumCustomBarPopupMenu(this);
        menu->SetMenuStyle(style);
        return menu;
    }

    void plainItems(TMenu *menu, int count)
    {
        for (int i = 1; i <= count; ++i)
            add(menu->Items(), QString::fromUtf8("Точка %1").arg(i));
    }

    void buildMainMenu()
    {
        auto *menu = new TLumBarMainMenu(this);
        menu->BeginLoading();
        menu->SetMenuStyle(msWindowsXP);
        menu->Separators()->setFade(true);
        menu->Bar()->BarCaption()->setCaption(QString::fromUtf8("Меню"));
        fillItems(menu, nullptr);
        // The items of the XP demo sit under one title of the menu bar here.
        TMenuItem *root = menu->Items();
        auto *file = new TMenuItem(root);
        file->setCaption(QString::fromUtf8("Файл"));
        while (root->Count() > 0) {
            TMenuItem *item = root->Items(0);
            root->Delete(0);
            file->Add(item);
        }
        root->Add(file);
        TMenuItem *view = add(root, QString::fromUtf8("Изглед"));
        add(view, QString::fromUtf8("Стандартен вид"))->OnClick = [menu](QObject *) {
            menu->SetMenuStyle(msStandard);
        };
        add(view, QString::fromUtf8("Вид XP"))->OnClick = [menu](QObject *) {
            menu->SetMenuStyle(msWindowsXP);
        };
        add(view, QStringLiteral("-"));
        add(view, QString::fromUtf8("Лента"))->OnClick = [menu](QObject *) {
            menu->Bar()->setVisible(!menu->Bar()->Visible());
        };
        menu->setImages(m_images);
        menu->SetWindow(this);
        menu->Loaded();
    }

    void buildPopup()
    {
        m_popup = new TLumCustomBarPopupMenu(this);
        m_popup->SetMenuStyle(msWindowsXP);
        m_popup->SetMenuAlpha(200);
        m_popup->SetFlatBorder(true);
        m_popup->Separators()->setFade(true);
        m_popup->Bar()->BarCaption()->setCaption(QStringLiteral("Cinaxo"));
        add(m_popup->Items(), QString::fromUtf8("Добави"))->setShortCut(QKeySequence(Qt::Key_Insert));
        add(m_popup->Items(), QString::fromUtf8("Редакция"))->setShortCut(QKeySequence(Qt::Key_F9));
        add(m_popup->Items(), QString::fromUtf8("Изтрий"))->setShortCut(QKeySequence(Qt::Key_Delete));
        add(m_popup->Items(), QStringLiteral("-"));
        TMenuItem *start = add(m_popup->Items(), QString::fromUtf8("Стартирай"));
        start->setShortCut(QKeySequence(Qt::Key_Return));
        start->setDefault(true);
    }

    TImageList *m_images;
    TLumCustomBarPopupMenu *m_popup = nullptr;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    SysColors::fillFromPalette(QApplication::palette());
    DemoWindow window;
    window.show();
    if (app.arguments().contains(QStringLiteral("--popup")))
        QTimer::singleShot(300, &window, [&window] { window.openPopup(); });
    return QApplication::exec();
}
