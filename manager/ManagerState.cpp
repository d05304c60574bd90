#include "manager/ManagerState.h"

qint32 CurrentReminderId = 0;
QString CurrentSentTo;
Recipients lastRecipients;
AdvancedOptions AdvOptions;
