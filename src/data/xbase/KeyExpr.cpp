#include "KeyExpr.h"

#include "xbase.h"

#include <cctype>
#include <cstring>

namespace xbase {

namespace {

constexpr int MaxKey = 256;
constexpr int MaxInner = 4096; // bound on intermediate values (Left/Substr of long concatenations)

std::string upperAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

struct KeyExpr::Parser
{
    enum class Tok { End, Name, Number, Text, Plus, Open, Close, Comma, Bad };

    KeyExpr &owner;
    const std::string &src;
    size_t pos = 0;
    Tok tok = Tok::End;
    std::string value;
    int depth = 0;

    Parser(KeyExpr &o, const std::string &s) : owner(o), src(s) { advance(); }

    bool fail(const std::string &what)
    {
        if (owner.m_error.empty())
            owner.m_error = what;
        return false;
    }

    void advance()
    {
        while (pos < src.size() && std::isspace(static_cast<unsigned char>(src[pos])))
            ++pos;
        value.clear();
        if (pos >= src.size()) {
            tok = Tok::End;
            return;
        }
        char c = src[pos];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = pos;
            while (pos < src.size() &&
                   (std::isalnum(static_cast<unsigned char>(src[pos])) || src[pos] == '_'))
                ++pos;
            // "alias->field": the alias is the table itself.
            if (src.compare(pos, 2, "->") == 0) {
                pos += 2;
                start = pos;
                if (pos >= src.size() ||
                    !(std::isalpha(static_cast<unsigned char>(src[pos])) || src[pos] == '_')) {
                    tok = Tok::Bad;
                    return;
                }
                while (pos < src.size() &&
                       (std::isalnum(static_cast<unsigned char>(src[pos])) || src[pos] == '_'))
                    ++pos;
            }
            value = src.substr(start, pos - start);
            tok = Tok::Name;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t start = pos;
            while (pos < src.size() && std::isdigit(static_cast<unsigned char>(src[pos])))
                ++pos;
            if (pos < src.size() && src[pos] == '.') {
                ++pos;
                while (pos < src.size() && std::isdigit(static_cast<unsigned char>(src[pos])))
                    ++pos;
            }
            value = src.substr(start, pos - start);
            tok = Tok::Number;
        } else if (c == '"' || c == '\'') {
            size_t end = src.find(c, pos + 1);
            if (end == std::string::npos) {
                tok = Tok::Bad;
                pos = src.size();
                return;
            }
            value = src.substr(pos + 1, end - pos - 1);
            pos = end + 1;
            tok = Tok::Text;
        } else {
            ++pos;
            tok = c == '+'   ? Tok::Plus
                  : c == '(' ? Tok::Open
                  : c == ')' ? Tok::Close
                  : c == ',' ? Tok::Comma
                             : Tok::Bad;
        }
    }

    int add(Node n)
    {
        owner.m_nodes.push_back(std::move(n));
        return static_cast<int>(owner.m_nodes.size()) - 1;
    }
    const Node &node(int i) const { return owner.m_nodes[static_cast<size_t>(i)]; }

    // A function of one argument, yielding len characters; a and b are its
    // further parameters as the evaluator reads them.
    bool addFunction(Kind kind, int len, int arg, int &out, int a = 0, int b = 0)
    {
        Node n(kind, 'C', len);
        n.a = a;
        n.b = b;
        n.kids = {arg};
        out = add(std::move(n));
        return true;
    }

    // A whole non-negative number argument (widths, counts).
    bool intArg(int i, int &out)
    {
        const Node &n = node(i);
        if (n.kind != Kind::Number || n.text.find('.') != std::string::npos || n.text.size() > 4)
            return fail("a whole number is expected as an argument");
        out = std::stoi(n.text);
        return true;
    }

    bool expression(int &out)
    {
        if (++depth > 64)
            return fail("expression nested too deeply");
        int left = -1;
        if (!primary(left))
            return false;
        while (tok == Tok::Plus) {
            advance();
            int right = -1;
            if (!primary(right))
                return false;
            if (node(left).type != 'C' || node(right).type != 'C')
                return fail("+ joins character values only");
            int len = node(left).len + node(right).len;
            if (len > MaxInner)
                return fail("expression too long");
            if (node(left).kind == Kind::Concat) {
                owner.m_nodes[static_cast<size_t>(left)].kids.push_back(right);
                owner.m_nodes[static_cast<size_t>(left)].len = len;
            } else {
                Node n(Kind::Concat, 'C', len);
                n.kids = {left, right};
                left = add(std::move(n));
            }
        }
        --depth;
        out = left;
        return true;
    }

    bool primary(int &out)
    {
        if (tok == Tok::Open) {
            advance();
            if (!expression(out))
                return false;
            if (tok != Tok::Close)
                return fail("missing )");
            advance();
            return true;
        }
        if (tok == Tok::Number) {
            Node n(Kind::Number, 'N', static_cast<int>(value.size()));
            size_t dot = value.find('.');
            n.dec = dot == std::string::npos ? 0 : static_cast<int>(value.size() - dot - 1);
            n.text = value;
            advance();
            out = add(std::move(n));
            return true;
        }
        if (tok == Tok::Text) {
            if (value.size() > MaxInner)
                return fail("constant too long");
            Node n(Kind::Text, 'C', static_cast<int>(value.size()));
            n.text = value;
            advance();
            out = add(std::move(n));
            return true;
        }
        if (tok != Tok::Name)
            return fail(tok == Tok::End ? "expression ends too soon" : "unexpected character");
        std::string name = value;
        advance();
        if (tok == Tok::Open) {
            advance();
            std::vector<int> args;
            if (tok != Tok::Close) {
                for (;;) {
                    int a = -1;
                    if (!expression(a))
                        return false;
                    args.push_back(a);
                    if (tok == Tok::Comma) {
                        advance();
                        continue;
                    }
                    break;
                }
            }
            if (tok != Tok::Close)
                return fail("missing ) after the arguments of " + name);
            advance();
            return call(upperAscii(name), args, out);
        }
        std::string want = upperAscii(name);
        for (size_t i = 0; i < owner.m_fields.size(); ++i) {
            const FieldDesc &f = owner.m_fields[i];
            if (upperAscii(f.name) != want)
                continue;
            char t = f.type == 'F' ? 'N' : f.type;
            if (t != 'C' && t != 'N' && t != 'D')
                return fail("field " + name + " of type " + std::string(1, f.type) +
                            " cannot be part of a key");
            Node n(Kind::Field, t, f.len);
            n.dec = f.dec;
            n.field = static_cast<int>(i);
            out = add(std::move(n));
            return true;
        }
        return fail("unknown field " + name);
    }

    bool call(const std::string &fn, const std::vector<int> &args, int &out)
    {
        size_t argc = args.size();
        auto type = [&](size_t i) { return node(args[i]).type; };
        if ((fn == "UPPER" || fn == "LOWER") && argc == 1 && type(0) == 'C')
            return addFunction(fn == "UPPER" ? Kind::Upper : Kind::Lower, node(args[0]).len, args[0], out);
        if (fn == "STR" && argc >= 1 && argc <= 3 && type(0) == 'N') {
            const Node &v = node(args[0]);
            int width = v.kind == Kind::Field ? v.len : 10;
            int dec = v.kind == Kind::Field ? v.dec : 0;
            if (argc >= 2) {
                if (!intArg(args[1], width))
                    return false;
                dec = 0;
            }
            if (argc == 3 && !intArg(args[2], dec))
                return false;
            if (width < 1 || width > MaxKey || dec > 15)
                return fail("Str() width or decimals out of range");
            return addFunction(Kind::Str, width, args[0], out, width, dec);
        }
        if (fn == "DTOS" && argc == 1 && type(0) == 'D')
            return addFunction(Kind::Dtos, 8, args[0], out);
        if (fn == "LEFT" && argc == 2 && type(0) == 'C') {
            int count = 0;
            if (!intArg(args[1], count))
                return false;
            return addFunction(Kind::Left, std::min(count, node(args[0]).len), args[0], out, count);
        }
        if (fn == "SUBSTR" && (argc == 2 || argc == 3) && type(0) == 'C') {
            int start = 0, count = 0;
            if (!intArg(args[1], start))
                return false;
            if (start < 1)
                return fail("Substr() starts at 1");
            int srcLen = node(args[0]).len;
            int avail = std::max(0, srcLen - (start - 1));
            count = avail;
            if (argc == 3) {
                if (!intArg(args[2], count))
                    return false;
                count = std::min(count, avail);
            }
            return addFunction(Kind::Substr, count, args[0], out, start, count);
        }
        static const char *known[] = {"UPPER", "LOWER", "STR", "DTOS", "LEFT", "SUBSTR"};
        for (const char *k : known)
            if (fn == k)
                return fail("wrong arguments for " + fn + "()");
        return fail("unknown function " + fn + "()");
    }
};

int KeyExpr::parse(const std::string &text, const std::vector<FieldDesc> &fields)
{
    m_text = text;
    m_error.clear();
    m_fields = fields;
    m_nodes.clear();
    m_root = -1;
    m_keyLen = 0;
    Parser p(*this, text);
    int root = -1;
    bool ok = p.expression(root);
    if (ok && p.tok != Parser::Tok::End)
        ok = p.fail("unexpected text after the expression");
    if (ok) {
        const Node &n = m_nodes[static_cast<size_t>(root)];
        if (n.type == 'N')
            ok = p.fail("a numeric key needs Str()");
        else if (n.len < 1 || n.len > MaxKey)
            ok = p.fail("key length " + std::to_string(n.len) + " outside 1-256");
    }
    // Fields must lie inside the record the caller describes; a negative
    // offset would be a caller's mistake, not the expression's.
    if (ok)
        for (const Node &n : m_nodes)
            if (n.kind == Kind::Field && m_fields[static_cast<size_t>(n.field)].offset < 0)
                ok = p.fail("field offset out of range");
    if (!ok) {
        if (m_error.empty())
            m_error = "invalid expression";
        m_nodes.clear();
        return e4expr;
    }
    m_root = root;
    m_keyLen = m_nodes[static_cast<size_t>(root)].len;
    return 0;
}

std::string KeyExpr::formatStr(const char *text, int len, int width, int decimals)
{
    // Parse [blanks][sign]digits[.digits][blanks]; anything else is zero.
    int i = 0;
    while (i < len && (text[i] == ' ' || text[i] == '\0'))
        ++i;
    int end = len;
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\0'))
        --end;
    bool neg = false;
    if (i < end && (text[i] == '-' || text[i] == '+'))
        neg = text[i++] == '-';
    std::string whole, frac;
    while (i < end && text[i] >= '0' && text[i] <= '9')
        whole += text[i++];
    bool dot = i < end && text[i] == '.';
    if (dot) {
        ++i;
        while (i < end && text[i] >= '0' && text[i] <= '9')
            frac += text[i++];
    }
    if (i != end || (whole.empty() && frac.empty())) {
        whole.assign(1, '0');
        frac.clear();
        neg = false;
    }
    // Round the magnitude half away from zero.
    bool up = static_cast<int>(frac.size()) > decimals && frac[static_cast<size_t>(decimals)] >= '5';
    frac.resize(static_cast<size_t>(decimals), '0');
    std::string digits = whole + frac;
    if (digits.empty())
        digits.assign(1, '0');
    if (up) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<size_t>(k)] == '9')
            digits[static_cast<size_t>(k--)] = '0';
        if (k < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<size_t>(k)];
    }
    std::string intPart = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    std::string fracPart = digits.substr(digits.size() - static_cast<size_t>(decimals));
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string(1, '0') : intPart.substr(nz);
    bool zero = digits.find_first_not_of('0') == std::string::npos;
    size_t outLen = (neg && !zero ? 1 : 0) + intPart.size() + (decimals > 0 ? 1 + fracPart.size() : 0);
    if (outLen > static_cast<size_t>(width))
        return std::string(static_cast<size_t>(width), '*');
    std::string out(static_cast<size_t>(width) - outLen, ' ');
    if (neg && !zero)
        out.push_back('-');
    out.append(intPart);
    if (decimals > 0) {
        out.push_back('.');
        out.append(fracPart);
    }
    return out;
}

void KeyExpr::eval(int index, const char *record, char *out) const
{
    const Node &n = m_nodes[static_cast<size_t>(index)];
    switch (n.kind) {
    case Kind::Field:
        std::memcpy(out, record + m_fields[static_cast<size_t>(n.field)].offset, static_cast<size_t>(n.len));
        return;
    case Kind::Text:
        std::memcpy(out, n.text.data(), n.text.size());
        return;
    case Kind::Number:
        return; // only ever an argument of Str()
    case Kind::Upper:
    case Kind::Lower:
        eval(n.kids[0], record, out);
        for (int i = 0; i < n.len; ++i) {
            char &c = out[i];
            if (n.kind == Kind::Upper && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (n.kind == Kind::Lower && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return;
    case Kind::Str: {
        const Node &v = m_nodes[static_cast<size_t>(n.kids[0])];
        std::string s =
            v.kind == Kind::Field
                ? formatStr(record + m_fields[static_cast<size_t>(v.field)].offset, v.len, n.a, n.b)
                : formatStr(v.text.data(), static_cast<int>(v.text.size()), n.a, n.b);
        std::memcpy(out, s.data(), s.size());
        return;
    }
    case Kind::Dtos: {
        eval(n.kids[0], record, out);
        bool digits = true;
        for (int i = 0; i < 8; ++i)
            digits = digits && out[i] >= '0' && out[i] <= '9';
        if (!digits)
            std::memset(out, ' ', 8);
        return;
    }
    case Kind::Left:
    case Kind::Substr: {
        const Node &src = m_nodes[static_cast<size_t>(n.kids[0])];
        std::string tmp(static_cast<size_t>(src.len), ' ');
        eval(n.kids[0], record, tmp.data());
        size_t from = n.kind == Kind::Left ? 0 : static_cast<size_t>(n.a - 1);
        std::memcpy(out, tmp.data() + from, static_cast<size_t>(n.len));
        return;
    }
    case Kind::Concat: {
        int at = 0;
        for (int k : n.kids) {
            eval(k, record, out + at);
            at += m_nodes[static_cast<size_t>(k)].len;
        }
        return;
    }
    }
}

void KeyExpr::evaluate(const char *record, char *key) const
{
    if (m_root < 0)
        return;
    eval(m_root, record, key);
}

std::string KeyExpr::evaluate(const char *record) const
{
    std::string key(static_cast<size_t>(m_keyLen), ' ');
    evaluate(record, key.data());
    return key;
}

} // namespace xbase
