#include "QVXStrings.h"

QString QVXExchangeStringWithString(const QString &source, const QString &find,
                                    const QString &replacement)
{
    // Replacing the empty string would insert the replacement between every character.
    if (find.isEmpty())
        return source;
    QString result = source;
    result.replace(find, replacement);
    return result;
}
