#pragma once
// STANDARD aliases over folders of DBF and DBC files: the engine's tables of such an
// alias are the folder's record files, read through the DBF layer.
#include "platform/db/BancoDados.h"

#include <functional>
#include <memory>

namespace dorvan {

// The source the engine needs for STANDARD aliases. dbfComCP850 answers, at each
// statement, whether a file with language byte 0 holds code page 850 text.
std::shared_ptr<FontePadrao> FonteArquivosDBF(std::function<bool()> dbfComCP850);

} // namespace dorvan
