#include "manager/EditDraft.h"

#include "common/Trapped.h"
#include "platform/Failure.h"
#include "store/Database.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString kSend = QStringLiteral("send");
const QString kToList = QStringLiteral("toList");

// The fields the editor holds: those its save stores, which reminder, and its audience.
constexpr ReminderField kEditorFields[] = {
    ReminderField::RMain_Id,        ReminderField::RCaption,      ReminderField::RDetail,
    ReminderField::RDate,           ReminderField::RImportance,   ReminderField::REventType,
    ReminderField::RActive,         ReminderField::Adv_AdvOpt,    ReminderField::Adv_Period,
    ReminderField::Adv_PeriodN,     ReminderField::Adv_WeekDay,   ReminderField::Adv_MonthDay,
    ReminderField::Adv_MonthCount,  ReminderField::Adv_DateEnd,   ReminderField::Adv_NoEnd,
    ReminderField::Adv_HebrewMonth, ReminderField::Adv_HebrewDay, ReminderField::Adv_SkipDaysOff,
    ReminderField::SentTo};

QByteArray toJson(const EditDraft& draft)
{
    QJsonObject object;
    for (ReminderField field : kEditorFields)
        object.insert(fieldName(field), QJsonValue::fromVariant(draft.record.value(field)));
    object.insert(kSend, draft.send);
    object.insert(kToList, draft.toList);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

EditDraft fromJson(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (!document.isObject())
        throw Failure(QStringLiteral("damaged draft: ") + error.errorString());
    const QJsonObject object = document.object();
    EditDraft draft;
    for (ReminderField field : kEditorFields) {
        if (!object.contains(fieldName(field)))
            throw Failure(QStringLiteral("damaged draft: no ") + fieldName(field));
        draft.record.setValue(field, object.value(fieldName(field)).toVariant());
    }
    draft.send = object.value(kSend).toBool();
    draft.toList = object.value(kToList).toBool();
    return draft;
}

} // namespace

void keepEditDraft(const EditDraft& draft)
{
    trapped(QStringLiteral("EditDraft"), [&] {
        QSaveFile file(editDraftPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(toJson(draft)) < 0 || !file.commit())
            throw Failure(QStringLiteral("cannot keep the draft: ") + file.errorString());
    });
}

void discardEditDraft()
{
    QFile::remove(editDraftPath());
}

std::optional<EditDraft> takeEditDraft()
{
    QFile file(editDraftPath());
    if (!file.exists())
        return std::nullopt;
    std::optional<EditDraft> draft;
    trapped(QStringLiteral("EditDraft"), [&] {
        if (file.size() > kMaxDraftBytes)
            throw Failure(QStringLiteral("draft of %1 bytes ignored").arg(file.size()));
        if (!file.open(QIODevice::ReadOnly))
            throw Failure(QStringLiteral("cannot read the draft: ") + file.errorString());
        draft = fromJson(file.read(kMaxDraftBytes));
    });
    file.close();
    discardEditDraft(); // offered once, taken or not
    return draft;
}
