#pragma once

#include <QString>
#include <map>

#include "Fields.h"

namespace brindlewick {

// The fields a values file sets: a JSON object whose keys are the fields' keys (Fields.h), the
// value options' names, and whose values are strings or whole numbers. The path may name a pipe
// or device, read to its end, or be "-" for standard input. Throws ComponentError with a
// description that names the file and the problem (the system's reason, where the JSON goes wrong,
// or the offending key) when the file holds anything else.
std::map<InputField, QString> readValuesFile(const QString& path);

}  // namespace brindlewick
