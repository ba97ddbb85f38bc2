#include "DeviceUnderTest.h"

#include <QFile>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

// Areas of the window that hold artwork and no text: texts are drawn by each
// renderer in its own way, pictures must come out the same.
const QRect HeaderButton(20, 15, 100, 100);
const QRect ResultIcon(115, 120, 250, 250);
const QRect StateIcon(90, 120, 300, 300);
const QRect LockIcon(70, 225, 50, 60);
const QRect MenuIcons(15, 75, 60, 690);
const QRect ToolBar(0, 0, 150, 70);

// Pixels whose colour differs in any channel by more than `tolerance`.
int differing(const QImage& a, const QImage& b, const QRect& rect, int tolerance)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > tolerance || qAbs(qGreen(p) - qGreen(q)) > tolerance
                || qAbs(qBlue(p) - qBlue(q)) > tolerance)
                ++count;
        }
    }
    return count;
}

} // namespace

// The real application draws its pages twice, by OpenGL (Mesa) and by Qt
// Quick's software renderer, the only one on a board without a GPU: the
// passenger pages, the PIN page and the maintenance menu show the same
// pictures, and the software run logs no warning about what it cannot draw.
class TestRenderers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void samePictures_data();
    void samePictures();
    void softwareLogsNoWarning();

private:
    bool capture(const QByteArray& backend, QMap<QString, QImage>& shots, QByteArray& log);

    QMap<QString, QImage> m_opengl;
    QMap<QString, QImage> m_software;
    QByteArray m_softwareLog;
};

void TestRenderers::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty())
        QSKIP("xdotool and ImageMagick's import are needed to press and grab the screen");
    QByteArray openglLog;
    QVERIFY(capture(QByteArray(), m_opengl, openglLog));
    QVERIFY(capture("software", m_software, m_softwareLog));
}

// Each page as the screen shows it, once the frame that shows it is swapped.
bool TestRenderers::capture(const QByteArray& backend, QMap<QString, QImage>& shots, QByteArray& log)
{
    DeviceUnderTest device("RENDER-0001");
    // Everything the toolkit says goes to the log.
    QFile conf(device.filePath(QStringLiteral("gui.conf")));
    if (!conf.open(QIODevice::Append) || conf.write("level=4\n") <= 0)
        return false;
    conf.close();
    if (backend.isEmpty())
        qunsetenv("QT_QUICK_BACKEND");
    else
        qputenv("QT_QUICK_BACKEND", backend);
    qputenv("QUILLON_REPORT_SCREEN_FRAMES", "1");
    const bool started = device.startServices() && device.startApplication() && device.findWindow();
    qunsetenv("QT_QUICK_BACKEND");
    if (!started)
        return false;
    const auto shoot = [&](const QString& screen, int from) {
        if (!device.waitLog("[Main] Frame : " + screen.toUtf8(), from))
            return false;
        shots.insert(screen, device.grab());
        return !shots.value(screen).isNull();
    };
    const char* const steps[][2] = {
        {"tap valid", "Valid"},
        {"tap already", "AlreadyValid"},
        {"tap deny 205", "Invalid"},
        {"retry", "Retry"},
        {"validator noroute", "OutOfService"},
        {"validator online", "ScanScreens"},
        {"service validation offline", "OutOfOrder"},
        {"service validation online", "ScanScreens"},
    };
    for (const auto& step : steps) {
        const int mark = device.logMark();
        device.command(QLatin1String(step[0]));
        if (!shoot(QLatin1String(step[1]), mark)) {
            device.printLogs();
            return false;
        }
    }
    int mark = device.logMark();
    if (!device.holdAt(355, 60) || !shoot(QStringLiteral("Login"), mark))
        return false;
    mark = device.logMark();
    if (!device.enterPin() || !shoot(QStringLiteral("Settings"), mark))
        return false;
    log = device.log();
    return true;
}

void TestRenderers::samePictures_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QRect>("area");
    QTest::newRow("idle, header button") << "ScanScreens" << HeaderButton;
    QTest::newRow("valid icon") << "Valid" << ResultIcon;
    QTest::newRow("valid, header button") << "Valid" << HeaderButton;
    QTest::newRow("already validated icon") << "AlreadyValid" << ResultIcon;
    QTest::newRow("invalid icon") << "Invalid" << ResultIcon;
    QTest::newRow("retry icon") << "Retry" << ResultIcon;
    QTest::newRow("out of service icon") << "OutOfService" << StateIcon;
    QTest::newRow("out of order icon") << "OutOfOrder" << StateIcon;
    QTest::newRow("lock icon") << "Login" << LockIcon;
    QTest::newRow("menu icons") << "Settings" << MenuIcons;
    // The style's own bar, drawn through its elevation effect.
    QTest::newRow("tool bar") << "Settings" << ToolBar;
}

// Antialiased edges (the button's disc) may differ a little; a missing icon
// differs over a tenth of its area, a missing shadow faintly over a twentieth.
void TestRenderers::samePictures()
{
    QFETCH(QString, screen);
    QFETCH(QRect, area);
    const QImage opengl = m_opengl.value(screen);
    const QImage software = m_software.value(screen);
    QVERIFY(!opengl.isNull() && !software.isNull());
    const int strong = differing(opengl, software, area, 48);
    const int faint = differing(opengl, software, area, 12);
    const int pixels = area.width() * area.height();
    qInfo().noquote() << screen << area << "differ by more than 48:" << strong << "by more than 12:" << faint
                      << "of" << pixels;
    QVERIFY2(strong * 100 < pixels && faint * 50 < pixels,
             qPrintable(QStringLiteral("%1 and %2 of %3 pixels differ").arg(strong).arg(faint).arg(pixels)));
}

// The software renderer says nothing of a shader effect it leaves blank, but
// the scene graph's log names every item it draws: none may be one. Nor may
// QML report a fault in a page.
void TestRenderers::softwareLogsNoWarning()
{
    static const QRegularExpression fault(QStringLiteral("QQuickShaderEffect[_(]|qrc:/\\S+\\.qml:\\d+"));
    const QString log = QString::fromUtf8(m_softwareLog);
    const QRegularExpressionMatch found = fault.match(log);
    QVERIFY2(!found.hasMatch(), qPrintable(log.mid(found.capturedStart(), 300)));
}

QTEST_MAIN(TestRenderers)
#include "tst_Renderers.moc"
