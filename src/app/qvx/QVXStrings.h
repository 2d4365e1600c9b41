#pragma once

#include <QString>

// A new string: `source` with every occurrence of `find` replaced by `replacement`.
QString QVXExchangeStringWithString(const QString &source, const QString &find,
                                    const QString &replacement);
