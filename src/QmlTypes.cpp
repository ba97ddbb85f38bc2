#include "QmlTypes.h"

#include "Diagnostics.h"
#include "EventManager.h"
#include "Model/IPv4.h"
#include "Model/SAM.h"
#include "Model/Transaction.h"
#include "Model/ValidatorBarcode.h"
#include "Model/ValidatorConfig.h"
#include "Model/ValidatorRfid.h"
#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"
#include "Peripheral/Validator.h"
#include "SessionManager.h"

#include <QQmlEngine>

// Every object type QML reaches through a property must be known to the meta-type system,
// or QML reads the property as undefined.
void registerQmlTypes()
{
    qmlRegisterType<Transaction>("com.kivo.ticketing.transaction", 1, 0, "Transaction");
    qmlRegisterType<manager::Connection>("com.kivo.network.connection", 1, 0, "Connection");
    qmlRegisterType<IPv4>("com.kivo.network.ipv4", 1, 0, "IPv4");
    qRegisterMetaType<Diagnostics*>();
    qRegisterMetaType<EventManager*>();
    qRegisterMetaType<manager::Board*>();
    qRegisterMetaType<manager::Clock*>();
    qRegisterMetaType<manager::Connection*>();
    qRegisterMetaType<manager::Ethernet*>();
    qRegisterMetaType<manager::Inspector*>();
    qRegisterMetaType<manager::Network*>();
    qRegisterMetaType<manager::Update*>();
    qRegisterMetaType<manager::Validator*>();
    qRegisterMetaType<SessionManager*>();
    qRegisterMetaType<IPv4*>();
    qRegisterMetaType<SAM*>();
    qRegisterMetaType<ValidatorBarcode*>();
    qRegisterMetaType<ValidatorConfig*>();
    qRegisterMetaType<ValidatorRfid*>();
}
