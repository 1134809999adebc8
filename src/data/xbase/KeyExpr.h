#pragma once
// Index key expressions: field names (any case, optionally "alias->field"),
// "+" between character values, Upper(), Lower(), Str(n[, width[, decimals]]),
// DTOS(), Left(), Substr(), and quoted or numeric constants. An expression is
// parsed once against a table's fields; its key length is then fixed, and
// evaluating it reads the raw bytes of a record.

#include <string>
#include <vector>

namespace xbase {

struct FieldDesc
{
    std::string name; // compared without regard to case
    char type = 'C';  // 'C', 'N', 'F', 'D', 'L' or 'M'
    int len = 0;
    int dec = 0;
    int offset = 0; // byte offset of the field in the record passed to evaluate()
};

class KeyExpr
{
public:
    // 0, or e4expr for anything that is not a character (or date) key over
    // known fields and functions; error() then says what.
    int parse(const std::string &text, const std::vector<FieldDesc> &fields);

    bool valid() const { return m_root >= 0; }
    int keyLen() const { return m_keyLen; }
    const std::string &text() const { return m_text; }
    const std::string &error() const { return m_error; }

    // Writes keyLen() bytes for the record.
    void evaluate(const char *record, char *key) const;
    std::string evaluate(const char *record) const;

    // Str()'s text for a decimal number given as text: right-aligned in width,
    // rounded half away from zero to `decimals`, asterisks when too wide.
    // Text that is not a number counts as 0.
    static std::string formatStr(const char *text, int len, int width, int decimals);

private:
    enum class Kind { Field, Text, Number, Upper, Lower, Str, Dtos, Left, Substr, Concat };
    struct Node
    {
        Node(Kind k, char t, int l) : kind(k), type(t), len(l) {}
        Kind kind;
        char type; // 'C', 'N' or 'D': what the node yields
        int len;   // bytes yielded (C and D), or the text width of a number
        int dec = 0;
        int field = -1;
        int a = 0, b = 0; // Str: width, decimals; Left: count; Substr: start, count
        std::string text; // Text and Number constants
        std::vector<int> kids;
    };
    struct Parser;

    void eval(int node, const char *record, char *out) const;

    std::string m_text;
    std::string m_error;
    std::vector<FieldDesc> m_fields;
    std::vector<Node> m_nodes;
    int m_root = -1;
    int m_keyLen = 0;
};

} // namespace xbase
