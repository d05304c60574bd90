#include "server/CommandLine.h"

#include "common/ActivationFile.h"
#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "server/Registration.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingReply>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cstdio>
#include <optional>
#include <span>
#include <utility>

namespace {

enum Exit { Done = 0, Refused = 1, Unreachable = 2 };

// The words of --repeat and --importance, and of the list's columns; an
// advanced rule is listed but cannot be given here (its rule needs the window).
const std::pair<const char*, short> kListedRepeatWords[] = {
    {"once", EventOnce},     {"hourly", EventHourly},    {"daily", EventDaily},
    {"weekly", EventWeekly}, {"monthly", EventMonthly},  {"bimonthly", EventBiMonthly},
    {"yearly", EventYearly}, {"hebrew-monthly", EventHebrewMonthly},
    {"hebrew-yearly", EventHebrewYearly}, {"advanced", EventAdvanced}};
const std::span<const std::pair<const char*, short>>
    kRepeatWords(kListedRepeatWords, std::size(kListedRepeatWords) - 1);
const std::pair<const char*, short> kImportanceWords[] = {
    {"normal", 0}, {"medium", 1}, {"high", 2}};

// Options that take a value, and the D-Bus arguments they feed.
const QMap<QString, QString> kValueOptions = {{"add", "caption"},
                                              {"at", "due"},
                                              {"details", "details"},
                                              {"repeat", "eventType"},
                                              {"importance", "importance"},
                                              {"share", "shareTo"},
                                              {"delete", "id"},
                                              {"postpone", "id"},
                                              {"occurrences", "id"},
                                              {"days-off", "year"}};
// Options that take a second value, and the D-Bus argument it feeds.
const QMap<QString, QString> kSecondValues = {{"postpone", "minutes"}};
// Options whose second value may be left out, and the D-Bus argument it feeds.
const QMap<QString, QString> kOptionalSecondValues = {{"occurrences", "count"}};
const QString kDefaultOccurrences = QStringLiteral("10");
const QStringList kFlagOptions = {"list", "network", "help"};

const QString kUsage = QStringLiteral(
    "שימוש:\n"
    "  Kalvex --add \"כותרת\" --at \"yyyy-MM-dd HH:mm\" [--repeat once|hourly|daily|weekly|"
    "monthly|bimonthly|yearly|hebrew-monthly|hebrew-yearly]\n"
    "         [--details \"פרטים\"] [--importance normal|medium|high] [--share ALL|כינוי,כינוי]\n"
    "  Kalvex --list\n"
    "  Kalvex --delete מספר [--network]\n"
    "  Kalvex --postpone מספר דקות\n"
    "  Kalvex --occurrences מספר [כמה]\n"
    "  Kalvex --days-off שנה\n");

const QString kNoSessionBus =
    QStringLiteral("אין חיבור לאפיק ההודעות של ההפעלה (D-Bus); יש להריץ את הפקודה בתוך "
                   "הפעלת המשתמש");

class Refusal : public Failure
{
public:
    using Failure::Failure;
};
// Options that make no command: the usage follows the message.
class UsageRefusal : public Refusal
{
public:
    using Refusal::Refusal;
};

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

struct Options
{
    QMap<QString, QString> values; // by option name, without "--"
    QStringList flags;
};

Options parse(const QStringList& args)
{
    Options options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        if (name == QLatin1String("-h"))
            name = QStringLiteral("--help");
        if (!name.startsWith(QLatin1String("--")))
            throw UsageRefusal(QStringLiteral("\"%1\" אינה אפשרות").arg(name));
        name = name.mid(2);
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals >= 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
        }
        if (kFlagOptions.contains(name) && !value) {
            options.flags << name;
            continue;
        }
        if (!kValueOptions.contains(name))
            throw UsageRefusal(QStringLiteral("--%1 אינה אפשרות מוכרת").arg(name));
        if (!value && i + 1 >= args.size())
            throw UsageRefusal(QStringLiteral("--%1 דורש ערך").arg(name));
        options.values.insert(name, value ? *value : args[++i]);
        if (const QString second = kSecondValues.value(name); !second.isEmpty()) {
            if (i + 1 >= args.size())
                throw UsageRefusal(QStringLiteral("--%1 דורש שני ערכים").arg(name));
            options.values.insert(second, args[++i]);
        }
        if (const QString second = kOptionalSecondValues.value(name);
            !second.isEmpty() && i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("-")))
            options.values.insert(second, args[++i]);
    }
    return options;
}

using Words = std::span<const std::pair<const char*, short>>;

// A word of the table, or a number as it is (Kalvex checks the code).
int wordOrNumber(const QString& option, const QString& text, Words words)
{
    for (const auto& [word, code] : words)
        if (text == QLatin1String(word))
            return code;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok)
        return number;
    QStringList known;
    for (const auto& [word, code] : words)
        known << QLatin1String(word);
    throw Refusal(QStringLiteral("--%1: \"%2\" אינו ערך מוכר (%3 או קוד)")
                      .arg(option, text, known.join(QLatin1Char('|'))));
}

QString wordOf(int code, Words words)
{
    for (const auto& [word, value] : words)
        if (value == code)
            return QLatin1String(word);
    return QString::number(code);
}

// A refusal of Kalvex names the D-Bus argument; the user typed the option.
QString inOptionTerms(const QString& message, const Options& o)
{
    const auto fed = [&](const QString& option, const QString& argument) {
        return o.values.contains(option) && message.startsWith(argument + QStringLiteral(": "));
    };
    for (auto it = kValueOptions.cbegin(); it != kValueOptions.cend(); ++it)
        if (fed(it.key(), it.value()))
            return QStringLiteral("--") + it.key() + message.mid(it.value().size());
    for (const auto* seconds : {&kSecondValues, &kOptionalSecondValues})
        for (auto it = seconds->cbegin(); it != seconds->cend(); ++it)
            if (fed(it.key(), it.value()))
                return QStringLiteral("--") + it.key() + message.mid(it.value().size());
    return message;
}

void registerWhenNeeded()
{
    if (ActivationFile::starts(ActivationFile::inForce(), ProgramDir::path()))
        return;
    try {
        RegisterServer();
    } catch (const std::exception& e) {
        print(stderr, QStringLiteral("רישום Kalvex נכשל: %1\n").arg(describe(e)));
    }
}

// The answer of a call, once it has come.
template <typename... Types> auto answered(QDBusPendingReply<Types...> reply, const Options& o)
{
    reply.waitForFinished();
    if (!reply.isError())
        return reply;
    const QDBusError error = reply.error();
    if (error.name() == KalvexBus::invalidArgumentError)
        throw Refusal(inOptionTerms(error.message(), o));
    throw Failure(error.message().isEmpty() ? error.name() : error.message());
}

QString listLine(const QVariantMap& r)
{
    using F = ReminderField;
    const auto field = [&r](F f) { return r.value(fieldName(f)); };
    QString caption = field(F::RCaption).toString();
    for (QChar& c : caption)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return QStringList{field(F::RMain_Id).toString(),
                       field(F::RDate).toString().replace(QLatin1Char('T'), QLatin1Char(' ')),
                       wordOf(field(F::REventType).toInt(), kListedRepeatWords),
                       wordOf(field(F::RImportance).toInt(), kImportanceWords),
                       field(F::RActive).toBool() ? QStringLiteral("1") : QStringLiteral("0"),
                       caption}
               .join(QLatin1Char('\t')) +
           QLatin1Char('\n');
}

int add(KalvexKVClassInterface& kalvex, const Options& o)
{
    if (!o.values.contains(QStringLiteral("at")))
        throw Refusal(QStringLiteral("--at: יש לציין מועד, \"yyyy-MM-dd HH:mm\""));
    if (o.values.value(QStringLiteral("add")).size() > kCaptionWidth)
        print(stderr, QStringLiteral("Kalvex: אזהרה: --add: הכותרת ארוכה מ-%1 תווים ותקוצר\n")
                          .arg(kCaptionWidth));
    const qint32 id =
        answered(
            kalvex.AddReminder(
                o.values.value(QStringLiteral("add")), o.values.value(QStringLiteral("at")),
                o.values.value(QStringLiteral("details")),
                wordOrNumber(QStringLiteral("importance"),
                             o.values.value(QStringLiteral("importance"), QStringLiteral("normal")),
                             kImportanceWords),
                wordOrNumber(QStringLiteral("repeat"),
                             o.values.value(QStringLiteral("repeat"), QStringLiteral("once")),
                             kRepeatWords),
                o.values.value(QStringLiteral("share"))),
            o)
            .value();
    print(stdout, QString::number(id) + QLatin1Char('\n'));
    return Done;
}

int list(KalvexKVClassInterface& kalvex, const Options& o)
{
    for (const QVariantMap& r : answered(kalvex.ListReminders(2), o).value())
        print(stdout, listLine(r));
    return Done;
}

// The number given to an option, or its refusal in the option's terms.
int numberOf(const Options& o, const QString& option, const QString& value, const QString& what)
{
    const QString text = o.values.value(value);
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        throw Refusal(QStringLiteral("--%1: \"%2\" אינו %3").arg(option, text, what));
    return number;
}

int remove(KalvexKVClassInterface& kalvex, const Options& o)
{
    const QString option = QStringLiteral("delete");
    const int id = numberOf(o, option, option, QStringLiteral("מספר תזכורת"));
    if (!answered(kalvex.DeleteReminder(id, o.flags.contains(QStringLiteral("network"))), o)
             .value())
        throw Refusal(QStringLiteral("--delete: אין תזכורת שמספרה %1").arg(id));
    return Done;
}

int postpone(KalvexKVClassInterface& kalvex, const Options& o)
{
    const QString option = QStringLiteral("postpone");
    const int id = numberOf(o, option, option, QStringLiteral("מספר תזכורת"));
    const int minutes =
        numberOf(o, option, kSecondValues.value(option), QStringLiteral("מספר דקות"));
    answered(kalvex.PostponeReminder(id, minutes), o);
    return Done;
}

// The session's bus as the session announced it, or its socket in the
// user's runtime directory. Never one started for this call: left alone, the
// D-Bus library would launch a bus (dbus-launch) that outlives the command.
QDBusConnection sessionBusWithoutLaunching()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") || !QFileInfo(socket).exists())
            throw Failure(kNoSessionBus);
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(socket));
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        throw Failure(kNoSessionBus);
    return bus;
}

// The due times one a line, "yyyy-MM-dd HH:mm".
int occurrences(KalvexKVClassInterface& kalvex, const Options& o)
{
    const QString option = QStringLiteral("occurrences");
    const int id = numberOf(o, option, option, QStringLiteral("מספר תזכורת"));
    Options counted = o;
    if (!counted.values.contains(QStringLiteral("count")))
        counted.values.insert(QStringLiteral("count"), kDefaultOccurrences);
    const int count = numberOf(counted, option, QStringLiteral("count"), QStringLiteral("מספר"));
    for (const QString& due : answered(kalvex.Occurrences(id, count), o).value())
        print(stdout, QString(due).replace(QLatin1Char('T'), QLatin1Char(' ')) + QLatin1Char('\n'));
    return Done;
}

// The days off one a line, "yyyy-MM-dd", TAB, the name.
int daysOff(KalvexKVClassInterface& kalvex, const Options& o)
{
    const QString option = QStringLiteral("days-off");
    const int year = numberOf(o, option, option, QStringLiteral("שנה"));
    for (const QString& day : answered(kalvex.DaysOff(year), o).value())
        print(stdout, day + QLatin1Char('\n'));
    return Done;
}

int run(const QStringList& args)
{
    const Options o = parse(args);
    if (o.flags.contains(QStringLiteral("help"))) {
        print(stdout, kUsage);
        return Done;
    }
    const int commands = int(o.values.contains(QStringLiteral("add"))) +
                         int(o.values.contains(QStringLiteral("delete"))) +
                         int(o.values.contains(QStringLiteral("postpone"))) +
                         int(o.values.contains(QStringLiteral("occurrences"))) +
                         int(o.values.contains(QStringLiteral("days-off"))) +
                         int(o.flags.contains(QStringLiteral("list")));
    if (commands != 1)
        throw UsageRefusal(QStringLiteral("יש לבחור פעולה אחת: --add, --list, --delete, "
                                          "--postpone, --occurrences או --days-off"));
    const QDBusConnection bus = sessionBusWithoutLaunching();
    registerWhenNeeded();
    // The Kalvex that serves the session; the bus starts it when none does.
    KalvexKVClassInterface kalvex(KalvexBus::serviceName, KalvexBus::objectPath, bus);
    if (o.values.contains(QStringLiteral("add")))
        return add(kalvex, o);
    if (o.values.contains(QStringLiteral("delete")))
        return remove(kalvex, o);
    if (o.values.contains(QStringLiteral("postpone")))
        return postpone(kalvex, o);
    if (o.values.contains(QStringLiteral("occurrences")))
        return occurrences(kalvex, o);
    if (o.values.contains(QStringLiteral("days-off")))
        return daysOff(kalvex, o);
    return list(kalvex, o);
}

} // namespace

bool isCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--") || arg == "-h")
            return true;
    }
    return false;
}

int CommandLineMain(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    KalvexBus::registerTypes();
    try {
        return run(QCoreApplication::arguments().mid(1));
    } catch (const Refusal& e) {
        print(stderr, QStringLiteral("Kalvex: %1\n").arg(e.description()));
        if (dynamic_cast<const UsageRefusal*>(&e))
            print(stderr, kUsage);
        return Refused;
    } catch (const std::exception& e) {
        print(stderr, QStringLiteral("Kalvex: לא ניתן לבצע: %1\n").arg(describe(e)));
        return Unreachable;
    }
}
