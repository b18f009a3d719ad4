#pragma once
// The sorted key index: text keys (1252 bytes) kept in ascending byte order, each
// with an integer value, found by binary search. Besides single keys it holds code
// ranges: two bounds stored with one value, so any key between them yields it.
// Conversion tables, row matching in merges and maps, file lists and flow tables use it.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

struct ItemIndice {
    std::string Chave;            // the key (1252 bytes); position 0 has none
    std::int32_t Valor = 0;       // the key's own value
    std::int32_t InicioFaixa = 0; // value of the range this key opens; 0 = none
    std::int32_t FimFaixa = 0;    // value of the range this key closes; 0 = none
};

// Positions are 1..Quantidade() in ascending key order; position 0 is an empty
// sentinel (value 0, no range tags). A range value of 0 cannot be told from no range.
class TIndice {
public:
    TIndice() = default;

    std::int32_t Quantidade() const { return static_cast<std::int32_t>(ordem_.size()) - 1; }
    std::int32_t Capacidade() const { return capacidade_; }

    // The item at a position 0..Quantidade(); keys are read-only so the order holds.
    const ItemIndice& Item(std::int32_t posicao) const {
        return itens_[static_cast<std::size_t>(ordem_[static_cast<std::size_t>(posicao)])];
    }
    const std::string& Chave(std::int32_t posicao) const { return Item(posicao).Chave; }
    std::int32_t Valor(std::int32_t posicao) const { return Item(posicao).Valor; }
    // Renumbering values in key order (table merges) goes through here.
    void DefineValor(std::int32_t posicao, std::int32_t valor);

private:
    friend void CriaIndice(TIndice& t, std::int32_t capacidade);
    friend bool InsereIndice(TIndice& t, std::string_view chave, std::int32_t valor);
    friend void InsereFaixa(TIndice& t, std::string_view baixo, std::string_view alto, std::int32_t valor);
    friend void LiberaIndice(TIndice& t);
    friend class MontaIndice;
    ItemIndice& ItemMutavel(std::int32_t posicao) {
        return itens_[static_cast<std::size_t>(ordem_[static_cast<std::size_t>(posicao)])];
    }

    std::int32_t capacidade_ = 0;
    // Items live in insertion order; ordem_ lists them by key, so an insertion in
    // the middle shifts 4-byte numbers, not strings. ordem_[0] is the sentinel.
    std::vector<ItemIndice> itens_{ItemIndice{}};
    std::vector<std::int32_t> ordem_{0};
};

// Empties the index and gives it room for `capacidade` keys.
void CriaIndice(TIndice& t, std::int32_t capacidade);

// Binary search. posicao := the first key not below chave, or the last key when
// chave is above them all, or 0 for an empty index; valor := that item's value
// (0 for the sentinel). True when the key there equals chave.
bool BuscaIndice(const TIndice& t, std::string_view chave, std::int32_t& posicao, std::int32_t& valor);

// The value of chave: its own when stored, else the value of the range holding it, else 0.
std::int32_t ValorIndice(const TIndice& t, std::string_view chave);

// Stores chave with valor. An existing key gets the new value and the result is
// false. A full index shows "Entradas excede máximo <capacidade>" and refuses (false).
// A key that falls inside a range is tagged with the range on both sides.
bool InsereIndice(TIndice& t, std::string_view chave, std::int32_t valor);

// Stores the two bounds with valor and tags them as one range (baixo below alto;
// equal bounds tag one key both ways). A bound the full index refused is not tagged.
void InsereFaixa(TIndice& t, std::string_view baixo, std::string_view alto, std::int32_t valor);

// Releases every key; capacity and count become 0.
void LiberaIndice(TIndice& t);

// Builds an index from keys that come in any order, in n log n time: the keys,
// values, range tags and refusals are those that InsereIndice and InsereFaixa
// called in the same order would give, without shifting every later position on
// each insertion (quadratic when keys come in descending order).
class MontaIndice {
public:
    explicit MontaIndice(std::int32_t capacidade) : capacidade_(capacidade < 0 ? 0 : capacidade) {}
    // As InsereIndice (a full index shows "Entradas excede máximo <capacidade>").
    bool Insere(std::string_view chave, std::int32_t valor);
    // As InsereFaixa.
    void InsereFaixa(std::string_view baixo, std::string_view alto, std::int32_t valor);
    // True and the key's value when chave is stored.
    bool Busca(std::string_view chave, std::int32_t& valor) const;
    std::int32_t Quantidade() const { return static_cast<std::int32_t>(itens_.size()); }
    // t := the index built, with this capacity; the builder is left empty.
    void Conclui(TIndice& t);

private:
    std::int32_t capacidade_;
    std::map<std::string, ItemIndice, std::less<>> itens_;
};

} // namespace dorvan
