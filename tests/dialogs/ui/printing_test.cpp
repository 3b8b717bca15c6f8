// Printing the current picture: the missing-printer refusal, the dialog's cancel, and a PDF page
// whose picture is the captured frame at one pixel per printer dot at the printable area's corner.
#include "dialogs/printing.h"
#include "dialogs/ui/snapshotprinting.h"

#include "support/scriptedprompts.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

// QPrinter and the dialogs need an application object (with widgets) for the whole run.
class ApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override { m_application = std::make_unique<QApplication>(m_argc, m_argv); }
    void TearDown() override { m_application.reset(); }

private:
    int m_argc = 1;
    char m_name[5] = "test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] testing::Environment* const kApplication =
    testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

QImage frame(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    return picture;
}

// Flat 80-dot blocks in distinct colours: they survive the PDF's JPEG compression.
QImage blocks(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x / 80 * 60, y / 80 * 80, 255 - (x / 80 + y / 80) * 30));
    return picture;
}

SnapshotSource sourceOf(const QImage& picture, int* captures)
{
    SnapshotSource source;
    source.controlExists = true;
    source.movieLoaded = true;
    source.capture = [=] {
        ++*captures;
        return picture;
    };
    return source;
}

QByteArray inflate(const QByteArray& data)
{
    QByteArray out(1 << 22, '\0');
    uLongf size = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                   uLong(data.size())) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

// Every stream of the PDF with its dictionary, inflated when Flate-compressed.
std::vector<std::pair<QByteArray, QByteArray>> pdfStreams(const QByteArray& pdf)
{
    std::vector<std::pair<QByteArray, QByteArray>> streams;
    qsizetype at = 0;
    while ((at = pdf.indexOf(">>\nstream\n", at)) >= 0) {
        const qsizetype object = pdf.lastIndexOf(" obj\n", at);
        const QByteArray head = pdf.mid(object, at - object);
        const qsizetype start = at + 10;
        const qsizetype end = pdf.indexOf("\nendstream", start);
        if (end < 0)
            break;
        QByteArray body = pdf.mid(start, end - start);
        if (head.contains("/FlateDecode"))
            body = inflate(body);
        streams.emplace_back(head, body);
        at = end;
    }
    return streams;
}

TEST(Printing, NoPrinterIsRefusedBeforeAnyDialog)
{
    ScriptedPrompts prompts;
    prompts.expectMessage("", "你需要安装打印机才能打印！", PromptIcon::Error);
    int captures = 0;
    QPrinter printer;
    EXPECT_FALSE(printSnapshot(prompts, sourceOf(frame(4, 4), &captures), false, printer));
    EXPECT_EQ(captures, 0);
}

TEST(Printing, CancelledDialogOrNoMovieCapturesNothing)
{
    ScriptedPrompts prompts;
    prompts.expectPrinter(false);
    int captures = 0;
    QPrinter printer;
    EXPECT_FALSE(printSnapshot(prompts, sourceOf(frame(4, 4), &captures), true, printer));
    SnapshotSource noMovie = sourceOf(frame(4, 4), &captures);
    noMovie.movieLoaded = false;
    EXPECT_FALSE(printSnapshot(prompts, noMovie, true, printer));
    EXPECT_EQ(captures, 0);
}

TEST(Printing, PictureLandsUnscaledAtTheTopLeft)
{
    QImage page(300, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    const QImage picture = frame(40, 30);
    QPainter painter(&page);
    drawPrintedPicture(painter, picture);
    painter.end();
    EXPECT_EQ(page.copy(0, 0, 40, 30), picture);
    EXPECT_EQ(page.pixel(40, 0), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(0, 30), qRgb(255, 255, 255));
    EXPECT_EQ(printedPictureRect(QSize(400, 300)), QRect(0, 0, 400, 300));
}

TEST(Printing, PdfPageCarriesTheFrameAtOnePixelPerDot)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    printer.setResolution(600);
    const QImage picture = blocks(400, 300);
    ScriptedPrompts prompts;
    prompts.expectPrinter(true);
    int captures = 0;
    ASSERT_TRUE(printSnapshot(prompts, sourceOf(picture, &captures), true, printer));
    EXPECT_EQ(captures, 1);

    QFile file(dir.filePath("page.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    bool imageFound = false;
    QByteArray content;
    for (const auto& [head, body] : pdfStreams(pdf)) {
        if (head.contains("/Subtype /Image") && head.contains("/Width 400") && head.contains("/Height 300")) {
            imageFound = true;
            const QImage printed = QImage::fromData(body).convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(printed.size(), QSize(400, 300));
            int outliers = 0;
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 400; ++x) {
                    const QRgb a = printed.pixel(x, y), b = picture.pixel(x, y);
                    outliers += std::abs(qRed(a) - qRed(b)) > 24 || std::abs(qGreen(a) - qGreen(b)) > 24
                                || std::abs(qBlue(a) - qBlue(b)) > 24;
                }
            EXPECT_LE(outliers, 400 * 300 / 50) << "the page's picture is the captured frame";
        }
        if (body.contains(" Do"))
            content = body;
    }
    EXPECT_TRUE(imageFound);
    // The page maps printer dots to points (72 / 600 = 0.12) from the printable area's corner, and
    // the picture fills 400 x 300 of those dots from (0, 0).
    EXPECT_TRUE(content.contains("0.120000000 0 0 -0.120000000 ")) << content.toStdString();
    EXPECT_TRUE(content.contains("1 0 0 1 0 0 cm\n400 0 0 -300 0 300 cm /Im")) << content.toStdString();
}

}  // namespace
}  // namespace kivamo
