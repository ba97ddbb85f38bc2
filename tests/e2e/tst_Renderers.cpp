#include "DeviceUnderTest.h"

#include <QFile>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

// Pixels whose colour differs in any channel by more than `tolerance`.
int differing(const QImage& a, const QImage& b, const QRect& rect, int tolerance)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            count += qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))), qAbs(qBlue(p) - qBlue(q)))
                     > tolerance;
        }
    }
    return count;
}

} // namespace

// The real application draws its pages twice, by OpenGL (Mesa) and by Qt
// Quick's software renderer, the only one on a board without a GPU: the
// passenger pages, the PIN page and the maintenance menu show the same
// pictures, and the software run draws no shader effect, which it would leave blank.
class TestRenderers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void samePictures_data();
    void samePictures();
    void noShaderEffectNorQmlWarning();

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
    // Everything the toolkit says, the scene graph's items included, goes to the log.
    QFile conf(device.filePath(QStringLiteral("gui.conf")));
    if (!conf.open(QIODevice::Append) || conf.write("level=4\n") <= 0)
        return false;
    conf.close();
    qputenv("QT_QUICK_BACKEND", backend);
    qputenv("QUILLON_REPORT_SCREEN_FRAMES", "1");
    const bool started = device.startServices() && device.startApplication() && device.findWindow();
    qunsetenv("QT_QUICK_BACKEND");
    if (!started)
        return false;
    const auto shoot = [&](const char* screen, int from, int stillMillis = 0) {
        if (!device.waitLog(QByteArray("[Main] Frame : ") + screen, from))
            return false;
        shots.insert(QLatin1String(screen), device.grab(stillMillis));
        return !shots.value(QLatin1String(screen)).isNull();
    };
    const char* const steps[][2] = {
        {"tap valid", "Valid"}, {"tap already", "AlreadyValid"}, {"tap deny 205", "Invalid"}, {"retry", "Retry"},
        {"validator noroute", "OutOfService"}, {"validator online", "ScanScreens"},
        {"service validation offline", "OutOfOrder"}, {"service validation online", "ScanScreens"},
    };
    for (const auto& step : steps) {
        const int mark = device.logMark();
        device.command(QLatin1String(step[0]));
        if (!shoot(step[1], mark))
            return false;
    }
    const int mark = device.logMark();
    if (!device.openPinPage() || !shoot("Login", mark) || !device.typePin(QStringLiteral("7315")))
        return false;
    // The login starts the technician's session: a sanitized application on a
    // loaded machine has left an unsettled frame of the menu (the tool bar's
    // colour faintly off) on the screen for longer than two grabs take.
    if (!shoot("Settings", mark, 1500))
        return false;
    log = device.log();
    return true;
}

// Areas that hold pictures and no text: each renderer draws text its own way.
void TestRenderers::samePictures_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QRect>("area");
    const QRect headerButton(20, 15, 100, 100);
    const QRect resultIcon(115, 120, 250, 250);
    const QRect stateIcon(90, 120, 300, 300);
    QTest::newRow("idle, header button") << "ScanScreens" << headerButton;
    QTest::newRow("valid icon") << "Valid" << resultIcon;
    QTest::newRow("valid, header button") << "Valid" << headerButton;
    QTest::newRow("already validated icon") << "AlreadyValid" << resultIcon;
    QTest::newRow("invalid icon") << "Invalid" << resultIcon;
    QTest::newRow("retry icon") << "Retry" << resultIcon;
    QTest::newRow("out of service icon") << "OutOfService" << stateIcon;
    QTest::newRow("out of order icon") << "OutOfOrder" << stateIcon;
    QTest::newRow("lock icon") << "Login" << QRect(70, 225, 50, 60);
    QTest::newRow("menu icons") << "Settings" << QRect(15, 75, 60, 690);
    // The style's own bar, drawn through its elevation effect.
    QTest::newRow("tool bar") << "Settings" << QRect(0, 0, 150, 70);
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
    QVERIFY2(strong * 100 < pixels && faint * 50 < pixels,
             qPrintable(QStringLiteral("%1 and %2 of %3 pixels differ").arg(strong).arg(faint).arg(pixels)));
}

// The software renderer says nothing of a shader effect it leaves blank, but
// the scene graph's log names every item it draws: none may be one. Nor may
// QML report a fault in a page.
void TestRenderers::noShaderEffectNorQmlWarning()
{
    static const QRegularExpression fault(QStringLiteral("QQuickShaderEffect[_(]|qrc:/\\S+\\.qml:\\d+"));
    const QString log = QString::fromUtf8(m_softwareLog);
    const QRegularExpressionMatch found = fault.match(log);
    QVERIFY2(!found.hasMatch(), qPrintable(log.mid(found.capturedStart(), 300)));
}

QTEST_MAIN(TestRenderers)
#include "tst_Renderers.moc"
