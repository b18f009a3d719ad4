#pragma once
// The sorted key index: text keys (1252 bytes) kept in ascending byte order, each
// with an integer value, found by binary search. Besides single keys it holds code
// ranges: two bounds stored with one value, so any key between them yields it.
// Conversion tables, row matching in merges and maps, file lists and flow tables use it.
#include <cstdint>
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

} // namespace dorvan
