#include "shell/mdlExecuta.h"

#include <utility>

#include "toolkit/Seam.h"
#include "toolkit/ShellExecute.h"

void ShellOpen(const QString &File, const QString &Operation)
{
    // The programs started here are handed "0", the parameters they have always had.
    const int code = ShellExecute(Operation, File, QStringLiteral("0"), QString());
    if (code <= 32)
        ShellErrorMessage(code);
}

void ShellErrorMessage(int32_t code)
{
    static const std::pair<int32_t, const char *> texts[] = {
        {0, "Memory Error"},       {2, "File not found"},
        {3, "Path not found"},     {5, "Access Denied"},
        {8, "Out of Memory"},      {11, "Bad Executeable Format"},
        {26, "Sharing violation"}, {27, "Association incomplete"},
        {28, "DEE time out"},      {29, "DDE failed"},
        {30, "DDE Busy error"},    {31, "No association for this file"},
    };
    const char *text = "Unknown Error!, Please try again...";
    for (const auto &[known, words] : texts)
        if (known == code)
            text = words;
    MsgBox(QString::fromLatin1(text), vbCritical);
}
