#pragma once
// Where a dimension's code lies in a record, and the classification of codes into
// categories on the per-record path.
#include "data/LeDBF32.h"
#include "tabulation/Utabula.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan::tabulacao {

// Where the code of a dimension lies in the record.
// A code that runs past the end of the record reads blanks there: the bytes that
// exist are copied into `extensao`, which already holds the blanks.
struct Vista {
    std::uint32_t desloc = 0, tam = 0;
    std::uint32_t existe = 0; // bytes inside the record; below tam only at its end
    mutable std::string extensao;
    std::string_view De(const char* r) const {
        if (existe == tam) return std::string_view(r + desloc, tam);
        std::memcpy(extensao.data(), r + desloc, existe);
        return extensao;
    }
};

// A whole field, always inside the record.
Vista VistaCampo(const CampoDBF& c);

// The code may run past its field into the next ones.
Vista VistaDe(const TDimensao& d, const dbfRecord& h);

// Classifies field values as Categoria does, faster: direct tables compute the code
// number in place, key tables remember the category of every code already seen (a
// file holds few distinct codes and many records). Bound tables go to Categoria.
class Classificador {
public:
    void Prepara(const TDimensao& d) {
        d_ = &d;
        inicio_ = d.Inicio > 0 ? d.Inicio - 1u : 0u;
        comp_ = d.CompCodigo;
        modo_ = d.Modo;
        naoClass_ = d.NumCategorias + 1;
        cache_ = modo_ == 1 && comp_ >= 1 && comp_ <= 8;
        if (cache_) {
            vagas_.assign(1u << 12, Vaga{});
            ocupados_ = 0;
        }
    }

    std::int32_t operator()(std::string_view valor) {
        if (modo_ == 0) return Direta(valor);
        if (cache_) return ComCache(valor);
        return Categoria(valor, *d_);
    }

private:
    std::string_view Codigo(std::string_view valor) const {
        return inicio_ < valor.size() ? valor.substr(inicio_, comp_) : std::string_view();
    }

    // The number CodigoParaNumero gives, without building a text.
    std::int32_t Direta(std::string_view valor) const {
        std::string_view c = Codigo(valor);
        std::uint32_t n = 0;
        if (!c.empty()) {
            for (char x : c)
                if (x == '+' || x == '-') { // signs are rare: the routine itself reads them
                    std::string codigo(c);
                    const std::uint16_t numero = CodigoParaNumero(codigo);
                    return numero < d_->Direta.size() ? d_->Direta[numero] : naoClass_;
                }
            char primeiro = c[0] == ' ' ? '0' : c[0];
            if (primeiro >= '[' && primeiro <= '`') return naoClass_;
            std::size_t i = 0;
            std::uint32_t peso = 0;
            if ((primeiro >= 'A' && primeiro <= 'Z') || (primeiro >= 'a' && primeiro <= 'z')) {
                std::uint32_t potencia = 1;
                for (std::size_t k = 1; k < c.size(); ++k)
                    potencia *= 10;
                peso = static_cast<std::uint32_t>((primeiro & ~0x20) - 'A' + 1) * potencia;
                i = 1;
            }
            for (; i < c.size(); ++i)
                n = n * 10 + (c[i] >= '0' && c[i] <= '9' ? static_cast<std::uint32_t>(c[i] - '0') : 0u);
            n += peso;
            if (n >= CodigoForaDaTabela) return naoClass_;
        }
        return n < d_->Direta.size() ? d_->Direta[n] : naoClass_;
    }

    std::int32_t ComCache(std::string_view valor) {
        std::string_view c = Codigo(valor);
        if (c.size() != comp_) return Categoria(valor, *d_);
        std::uint64_t chave = 0;
        std::memcpy(&chave, c.data(), c.size());
        const std::size_t mascara = vagas_.size() - 1;
        std::size_t i = static_cast<std::size_t>((chave * 0x9E3779B97F4A7C15ull) >> 40) & mascara;
        while (vagas_[i].valor != 0) {
            if (vagas_[i].chave == chave) return vagas_[i].valor;
            i = (i + 1) & mascara;
        }
        std::int32_t k = Categoria(valor, *d_);
        if (ocupados_ * 2 >= vagas_.size()) {
            if (vagas_.size() >= (1u << 22)) return k; // codes without end: stop remembering
            Cresce();
            return k;
        }
        vagas_[i] = {chave, k};
        ++ocupados_;
        return k;
    }

    void Cresce() {
        std::vector<Vaga> novas(vagas_.size() * 2);
        const std::size_t mascara = novas.size() - 1;
        for (const Vaga& v : vagas_) {
            if (v.valor == 0) continue;
            std::size_t i = static_cast<std::size_t>((v.chave * 0x9E3779B97F4A7C15ull) >> 40) & mascara;
            while (novas[i].valor != 0)
                i = (i + 1) & mascara;
            novas[i] = v;
        }
        vagas_.swap(novas);
    }

    // A remembered code (up to 8 bytes) and its category; 0 = empty slot, as
    // categories start at 1. Key and value share a cache line.
    struct Vaga {
        std::uint64_t chave = 0;
        std::int32_t valor = 0;
    };

    const TDimensao* d_ = nullptr;
    std::size_t inicio_ = 0, comp_ = 0;
    std::uint8_t modo_ = 0;
    std::int32_t naoClass_ = 1;
    bool cache_ = false;
    std::vector<Vaga> vagas_;
    std::size_t ocupados_ = 0;
};

} // namespace dorvan::tabulacao
