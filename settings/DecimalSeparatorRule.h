#pragma once

#include <QString>

// Whether `separator` (a Windows-1250 byte) can stand between the integer and the fraction of a value
// in a measurement file. The column separator ";", a digit, a sign, a quote or a control character
// would break the columns or the numbers of every file written with it.
bool IsUsableDecimalSeparator(char separator);

// The separator as a message shows it: the character itself, or "#<code>" for one that cannot be seen.
QString SeparatorForMessage(char separator);
