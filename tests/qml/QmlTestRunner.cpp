#include <QByteArray>
#include <QObject>
#include <QQuickStyle>
#include <QtQuickTest>

// Runs the page tests with the application's style and on-screen keyboard.
class QmlTestSetup : public QObject
{
    Q_OBJECT
public:
    QmlTestSetup() { qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard")); }

public slots:
    void applicationAvailable() { QQuickStyle::setStyle(QStringLiteral("Material")); }
};

QUICK_TEST_MAIN_WITH_SETUP(quillon_qml, QmlTestSetup)

#include "QmlTestRunner.moc"
