#include "query/BancoPadrao.h"

#include "data/TabelasDBF.h"

namespace dorvan {

namespace {

class FonteDBF : public FontePadrao {
public:
    explicit FonteDBF(std::function<bool()> cp850) : cp850_(std::move(cp850)) {}
    std::string Prepara(void* sqlite, const std::string& pasta) override {
        return PreparaTabelasDBF(static_cast<sqlite3*>(sqlite), pasta, cp850_);
    }

private:
    std::function<bool()> cp850_;
};

} // namespace

std::shared_ptr<FontePadrao> FonteArquivosDBF(std::function<bool()> dbfComCP850) {
    return std::make_shared<FonteDBF>(std::move(dbfComCP850));
}

} // namespace dorvan
