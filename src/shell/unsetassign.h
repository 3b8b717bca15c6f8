// The logic of the un-assign dialog `Tfunsetassign`: the icon number field and the two buttons
// that stop the program from taking movie files back.
#pragma once

#include "platform/prompts.h"
#include "shell/associations.h"

#include <QString>

namespace kivamo {

// `LABEDT_iconnum` key rule: only Backspace and the digits 0 to 9 reach the field.
bool iconNumberKeyAccepted(QChar key);
// `LABEDT_iconnum` change rule: an empty text becomes "0", a value above 254 becomes "254".
QString boundedIconNumber(const QString& text);

// `Button1` "浏览...": picks the program that is to open movie files; empty when cancelled.
QString chooseHandlerProgram(Prompts& prompts);

// "应用关联设置": with an existing program, writes `command` = false to main.ini, gives movie files
// to that program and confirms; otherwise says the program does not exist. True when the dialog closes.
bool applyUnassign(const AssociationEnvironment& environment, Prompts& prompts, const QString& iniPath,
                   const QString& programPath);
// "不设置关联": writes `command` = false to main.ini and leaves the associations as they are.
Result<void> keepAssociationsButStopTaking(const QString& iniPath);

}  // namespace kivamo
