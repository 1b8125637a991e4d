// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QWheelEvent>
#include <QtTest>

#include "gui_fixture.h"
#include "image_files.h"
#include "preview_pane.h"

namespace vc::gui {

namespace {

using test::Q;
using Fixture = test::WindowFixture;

// The picture as the pane draws it, at its zoom.
QImage Shown(const Fixture& f) {
    return f.Window.findChild<QWidget*>(QStringLiteral("PreviewPicture"))
        ->grab()
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QString Info(const Fixture& f) {
    return f.Window.findChild<QLabel*>(QStringLiteral("PreviewInfo"))->text();
}

void Choose(const Fixture& f, const char* box, const QString& text) {
    auto* choice = f.Window.findChild<QComboBox*>(QString::fromLatin1(box));
    choice->setCurrentIndex(choice->findText(text));
}

void Wheel(QWidget& widget, int steps) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace

class PreviewPaneTest : public QObject {
    Q_OBJECT

  private slots:
    // F3 shows the current texture beside the table, which keeps its width: fitted and enlarged
    // pixel by pixel, at 1:1, zoomed by the wheel, in colour, alpha or over a checkerboard, the
    // levels side by side; F3 again hides it and the window is as it was.
    void ThePaneShowsTheCurrentTextureAsTheDictionaryWillHoldIt() {
        Fixture f;
        QVERIFY(f.Show());
        std::vector<uint16_t> samples;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                samples.insert(samples.end(), {255, 0, 0, static_cast<uint16_t>(x < 4 ? 0 : 255)});
            }
        }
        const QString glass = Q(f.Folder.Write(
            "glass.png",
            vc::test::MakePng({.Width = 8, .Height = 8, .Colour = vc::test::PngColour::Rgba, .Samples = samples})));
        f.Add({glass});
        const QSize before = f.Window.size();
        const int room = f.Window.screen()->availableGeometry().width() - f.Window.frameGeometry().width();
        QTest::keyClick(&f.Window, Qt::Key_F3);
        auto* pane = f.Window.findChild<PreviewPane*>();
        QVERIFY(pane->isVisible());
        // The window grows by the pane as far as the screen has room; the table gives up the rest.
        const int wanted = 320 + f.Window.findChild<QSplitter*>(QStringLiteral("TableSplit"))->handleWidth();
        const int growth = std::min(wanted, room);
        QCOMPARE(f.Window.width(), before.width() + growth);
        QTRY_COMPARE(f.Table()->width(), 417 - (wanted - growth));
        QTRY_VERIFY(Info(f).contains(QStringLiteral("level")));  // decoded

        Choose(f, "PreviewChannels", QStringLiteral("Colour"));
        QImage picture = Shown(f);
        QVERIFY2(picture.width() > 8 * 10, qPrintable(QString::number(picture.width())));  // fitted: enlarged
        const int side = picture.width() / 8;
        QCOMPARE(picture.height(), 8 * side);
        QCOMPARE(picture.pixel(side / 2, side / 2), qRgb(255, 0, 0));  // colour where transparent
        QCOMPARE(picture.pixel(side - 1, side - 1), qRgb(255, 0, 0));  // square pixels, no blending
        Choose(f, "PreviewChannels", QStringLiteral("Alpha"));
        picture = Shown(f);
        QCOMPARE(qGray(picture.pixel(3 * side + side - 1, side / 2)), 0);  // the last clear column
        QCOMPARE(qGray(picture.pixel(4 * side, side / 2)), 255);           // the first opaque one
        QCOMPARE(Info(f), QStringLiteral("8 × 8, 32bit, 1 level\nglass.png"));
        // Without its alpha, as Clear Alpha leaves it, the texture is opaque in the pane too.
        QTest::mouseClick(f.Button("Button4"), Qt::LeftButton);
        QTRY_COMPARE(qGray(Shown(f).pixel(side / 2, side / 2)), 255);
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(qGray(Shown(f).pixel(side / 2, side / 2)), 0);

        Choose(f, "PreviewScale", QStringLiteral("1:1"));
        QCOMPARE(Shown(f).size(), QSize(8, 8));
        Wheel(*pane, 2);
        QCOMPARE(pane->Zoom(), 4.0);
        QCOMPARE(Shown(f).size(), QSize(32, 32));
        QCOMPARE(f.Window.findChild<QComboBox*>(QStringLiteral("PreviewScale"))->currentText(), QStringLiteral("Zoom"));

        // A texture with levels shows them side by side, in the format it is written in.
        f.AnswerOutputChoices(QStringLiteral("DXT1"), true);
        f.Action("NewTextureDefaults")->trigger();
        f.Add({f.TrueColour("wall.bmp", 16, 16)});
        f.ClickRow(2);
        Choose(f, "PreviewScale", QStringLiteral("1:1"));
        QTRY_COMPARE(Info(f), QStringLiteral("16 × 16, DXT1 + mips, 5 levels\nwall.bmp"));
        QCOMPARE(Shown(f).size(), QSize(16 + 8 + 8 + 8 + 4 + 8 + 2 + 8 + 1, 16));
        f.Snapshot("preview-pane");

        QTest::keyClick(&f.Window, Qt::Key_F3);
        QVERIFY(!pane->isVisible());
        QCOMPARE(f.Window.size(), before);
    }
};

}  // namespace vc::gui

QTEST_MAIN(vc::gui::PreviewPaneTest)
#include "preview_pane_test.moc"
