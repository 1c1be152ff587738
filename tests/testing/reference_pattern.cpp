#include "tests/testing/reference_pattern.h"

#include <algorithm>
#include <map>
#include <utility>

#include "pattern/re_chars.h"
#include "platform/cp932.h"

namespace kelvane::testing {

std::string referenceMessage(std::string_view utf8) {
  static std::map<std::string, std::string, std::less<>> converted;
  auto it = converted.find(utf8);
  if (it == converted.end()) it = converted.emplace(std::string(utf8), cp932::fromUtf8(utf8).text).first;
  return it->second;
}

namespace {

constexpr std::string_view kDoubleByte = "不正な２バイト文字コードです。";
constexpr std::string_view kAfterBackslash = "\"\\\"の次には文字が必要です。";
constexpr std::string_view kHex = "不正な１６進数コード表記です。";
constexpr std::string_view kOctal = "不正な８進数コード表記です。";
constexpr std::string_view kRightBracket = "右ブラケット\"]\"が必要です";
constexpr std::string_view kRange = "不正なキャラクタ範囲です";
constexpr std::string_view kExtra = "正規表現に余分な文字があります";
constexpr std::string_view kRightParen = "右(閉じ)括弧が必要です";
constexpr std::string_view kCharOrParen = "普通の文字、または左括弧\"(\"が必要です";
constexpr std::string_view kEmptyClass = "不正なキャラクタクラス指定です。";

[[noreturn]] void fail(std::string_view message, int32_t position) {
  throw ERegExpParser(referenceMessage(message), static_cast<uint16_t>(position));
}

constexpr uint16_t kHighestChar = 0xFFFC;  // codes above: the anchors' pseudo codes, the empty mark

int hexValue(uint16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isOctal(uint16_t c) { return c >= '0' && c <= '7'; }

}  // namespace

uint16_t readReferenceChar(std::string_view text, int32_t& position) {
  if (position < 1 || position > static_cast<int32_t>(text.size())) return 0;
  const auto b = static_cast<unsigned char>(text[position - 1]);
  if (!cp932::isLeadByte(b)) {
    ++position;
    return b;
  }
  if (position == static_cast<int32_t>(text.size())) fail(kDoubleByte, position);
  const auto trail = static_cast<unsigned char>(text[position]);
  position += 2;
  return static_cast<uint16_t>(b << 8 | trail);
}

std::string referenceCodeText(uint16_t code) {
  const auto high = static_cast<unsigned char>(code >> 8), low = static_cast<unsigned char>(code & 0xFF);
  if (cp932::isLeadByte(high)) return {static_cast<char>(high), static_cast<char>(low)};
  return std::string(1, static_cast<char>(low));
}

uint16_t readReferenceEscape(std::string_view text, int32_t& position) {
  const int32_t at = position;
  const uint16_t c = readReferenceChar(text, position);
  switch (c) {
    case 0:
      fail(kAfterBackslash, position);
    case 'b':
      return 8;
    case 'r':
      return 13;
    case 'n':
      return 10;
    case 't':
      return 9;
    default:
      break;
  }
  if (c != 'x' && !isOctal(c)) return c;
  if (isOctal(c)) position = at;  // the first digit is part of the number
  const bool hex = c == 'x';
  uint32_t value = 0;
  int count = 0;
  int32_t before = position;
  uint16_t d = readReferenceChar(text, position);
  while (d != 0 && count < (hex ? 4 : 6) && (hex ? hexValue(d) >= 0 : isOctal(d))) {
    const uint32_t next = hex ? (value * 16 + hexValue(d)) & 0xFFFF : value * 8 + (d - '0');
    if (!hex && next > 0xFFFF) fail(kOctal, position);
    value = next;
    ++count;
    before = position;
    d = readReferenceChar(text, position);
  }
  if (count == 0) fail(hex ? kHex : kOctal, position);
  if (d != 0) position = before;
  return static_cast<uint16_t>(value);
}

namespace {

enum class Tok {
  Char,
  Range,
  Alt,
  Open,
  Close,
  Star,
  Plus,
  Optional,
  ClassOpen,
  NegClassOpen,
  ClassClose,
  Any,
  Head,
  Tail,
  End
};

// The tokens of a pattern, one at a time; inside a class only "]", the backslash and "-" are special.
class Tokens {
 public:
  explicit Tokens(std::string_view pattern) : text_(pattern) {}

  Tok next() {
    if (inClass_) {
      tok_ = inClass();
      if (tok_ == Tok::ClassClose) inClass_ = false;
    } else {
      tok_ = plain();
      if (tok_ == Tok::ClassOpen || tok_ == Tok::NegClassOpen) inClass_ = true;
    }
    return tok_;
  }
  Tok tok() const { return tok_; }
  uint16_t symbol() const { return symbol_; }
  uint16_t symbolEnd() const { return symbolEnd_; }
  int32_t position() const { return position_; }

 private:
  uint16_t read() { return readReferenceChar(text_, position_); }

  Tok plain() {
    const uint16_t c = symbol_ = read();
    switch (c) {
      case 0:
        return Tok::End;
      case '$':
        return Tok::Tail;
      case '(':
        return Tok::Open;
      case ')':
        return Tok::Close;
      case '*':
        return Tok::Star;
      case '+':
        return Tok::Plus;
      case '.':
        return Tok::Any;
      case '?':
        return Tok::Optional;
      case ']':
        return Tok::ClassClose;
      case '^':
        return Tok::Head;
      case '|':
        return Tok::Alt;
      case '\\':
        symbol_ = readReferenceEscape(text_, position_);
        return Tok::Char;
      case '[': {
        const int32_t before = position_;
        const uint16_t d = read();
        if (d == 0) fail(kRightBracket, position_);
        if (d == '^') return Tok::NegClassOpen;
        position_ = before;
        return Tok::ClassOpen;
      }
      default:
        return Tok::Char;
    }
  }

  Tok inClass() {
    uint16_t a = symbol_ = read();
    if (a == 0) fail(kRightBracket, position_);
    if (a == ']') return Tok::ClassClose;
    if (a == '\\') a = readReferenceEscape(text_, position_);
    symbol_ = a;
    const int32_t beforeDash = position_;
    const uint16_t b = read();
    if (b == 0) fail(kRightBracket, position_);
    if (b != '-') {
      position_ = beforeDash;
      return Tok::Char;
    }
    uint16_t c = read();
    if (c == 0) fail(kRightBracket, position_);
    if (c == ']') {  // "a-]": the characters a and "-", then the end of the class
      position_ = beforeDash;
      return Tok::Char;
    }
    if (c == '\\') c = readReferenceEscape(text_, position_);
    if (c < a) fail(kRange, position_);
    symbolEnd_ = c;
    return Tok::Range;
  }

  std::string_view text_;
  int32_t position_ = 1;
  bool inClass_ = false;
  Tok tok_ = Tok::End;
  uint16_t symbol_ = 0, symbolEnd_ = 0;
};

using Ranges = std::vector<std::pair<uint16_t, uint16_t>>;

struct Node {
  enum Kind { Codes, Head, Tail, Concat, Alt, Star, Empty } kind;
  Ranges codes;  // Codes: what the node takes (possibly nothing)
  int left = -1, right = -1;
};

// The codes "." takes, and from which a negated class takes its own.
const Ranges kAnyChar = {{1, 9}, {11, 12}, {14, 0xFCFC}};

Ranges withoutHighCodes(Ranges ranges) {
  Ranges out;
  for (auto [lo, hi] : ranges)
    if (lo <= kHighestChar) out.push_back({lo, std::min(hi, kHighestChar)});
  return out;
}

Ranges complementOf(Ranges excluded) {
  std::sort(excluded.begin(), excluded.end());
  Ranges out;
  for (auto [lo, hi] : kAnyChar) {
    uint32_t from = lo;  // the next code not yet excluded or emitted
    for (auto [xlo, xhi] : excluded) {
      if (xhi < from || xlo > hi) continue;
      if (xlo > from) out.push_back({static_cast<uint16_t>(from), static_cast<uint16_t>(xlo - 1)});
      from = std::max<uint32_t>(from, xhi + 1u);
    }
    if (from <= hi) out.push_back({static_cast<uint16_t>(from), hi});
  }
  return out;
}

// Recursive descent over the tokens into a tree of nodes (kept by index; a+ refers to a twice).
class Parser {
 public:
  explicit Parser(std::string_view pattern) : tokens_(pattern) {}

  int parse() {
    tokens_.next();
    const int root = alternation();
    if (tokens_.tok() != Tok::End) fail(kExtra, tokens_.position());
    return root;
  }
  const std::vector<Node>& nodes() const { return nodes_; }

 private:
  int node(Node::Kind kind, int left = -1, int right = -1, Ranges codes = {}) {
    nodes_.push_back(Node{kind, std::move(codes), left, right});
    return static_cast<int>(nodes_.size()) - 1;
  }
  bool endsSequence() const {
    return tokens_.tok() == Tok::Alt || tokens_.tok() == Tok::Close || tokens_.tok() == Tok::End;
  }

  int alternation() {
    int p = sequence();
    while (tokens_.tok() == Tok::Alt) {
      tokens_.next();
      const int right = sequence();
      p = node(Node::Alt, p, right);
    }
    return p;
  }

  int sequence() {
    if (endsSequence()) return node(Node::Empty);
    int p = repeat();
    while (!endsSequence()) {
      const int right = repeat();
      p = node(Node::Concat, p, right);
    }
    return p;
  }

  int repeat() {
    const int a = atom();
    switch (tokens_.tok()) {
      case Tok::Star:
        tokens_.next();
        return node(Node::Star, a);
      case Tok::Plus:
        tokens_.next();
        return node(Node::Concat, a, node(Node::Star, a));
      case Tok::Optional:
        tokens_.next();
        return node(Node::Alt, a, node(Node::Empty));
      default:
        return a;
    }
  }

  int atom() {
    int p = -1;
    switch (tokens_.tok()) {
      case Tok::Char:
        p = node(Node::Codes, -1, -1, withoutHighCodes({{tokens_.symbol(), tokens_.symbol()}}));
        break;
      case Tok::Open:
        tokens_.next();
        p = alternation();
        if (tokens_.tok() != Tok::Close) fail(kRightParen, tokens_.position());
        break;
      case Tok::ClassOpen:
      case Tok::NegClassOpen: {
        const bool negated = tokens_.tok() == Tok::NegClassOpen;
        const Ranges items = classItems();
        p = node(Node::Codes, -1, -1, negated ? complementOf(items) : withoutHighCodes(items));
        break;
      }
      case Tok::Any:
        p = node(Node::Codes, -1, -1, kAnyChar);
        break;
      case Tok::Head:
        p = node(Node::Head);
        break;
      case Tok::Tail:
        p = node(Node::Tail);
        break;
      default:
        fail(kCharOrParen, tokens_.position());
    }
    tokens_.next();
    return p;
  }

  // The items of a class up to its "]", which stays the current token.
  Ranges classItems() {
    Ranges items;
    if (tokens_.next() == Tok::ClassClose) fail(kEmptyClass, tokens_.position());
    do {
      const uint16_t lo = tokens_.symbol();
      items.push_back({lo, tokens_.tok() == Tok::Range ? tokens_.symbolEnd() : lo});
    } while (tokens_.next() != Tok::ClassClose);
    return items;
  }

  Tokens tokens_;
  std::vector<Node> nodes_;
};

// Lays the tree out between two states per node.
class Layout {
 public:
  Layout(const std::vector<Node>& nodes, uint16_t headCode, uint16_t tailCode)
      : nodes_(nodes), headCode_(headCode), tailCode_(tailCode) {
    nfa_.moves.resize(2);
  }

  RefNfa take(int root) {
    lay(root, nfa_.entry, nfa_.exit, true, true);
    return std::move(nfa_);
  }

 private:
  uint32_t newState() {
    nfa_.moves.emplace_back();
    return static_cast<uint32_t>(nfa_.moves.size() - 1);
  }
  void move(uint32_t from, uint32_t to, uint16_t lo, uint16_t hi, bool anchor = false) {
    nfa_.moves[from].push_back(RefMove{false, anchor, lo, hi, to});
  }
  void empty(uint32_t from, uint32_t to) { nfa_.moves[from].push_back(RefMove{true, false, 0, 0, to}); }

  // atEntry: `from` is the entry state; atExit: `to` is the exit state.
  void lay(int index, uint32_t from, uint32_t to, bool atEntry, bool atExit) {
    const Node& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.kind) {
      case Node::Codes:
        for (auto [lo, hi] : n.codes) move(from, to, lo, hi);
        break;
      case Node::Head:
        if (atEntry) nfa_.lineHeadUsed = true;
        atEntry ? move(from, to, headCode_, headCode_, true) : move(from, to, '^', '^');
        break;
      case Node::Tail:
        if (atExit) nfa_.lineTailUsed = true;
        atExit ? move(from, to, tailCode_, tailCode_, true) : move(from, to, '$', '$');
        break;
      case Node::Concat: {
        const uint32_t middle = newState();
        lay(n.left, from, middle, atEntry, false);
        lay(n.right, middle, to, false, atExit);
        break;
      }
      case Node::Alt:
        lay(n.left, from, to, atEntry, atExit);
        lay(n.right, from, to, atEntry, atExit);
        break;
      case Node::Star: {
        const uint32_t loopIn = newState(), loopOut = newState();
        empty(from, loopIn);
        lay(n.left, loopIn, loopOut, false, false);
        empty(loopOut, loopIn);
        empty(loopIn, to);
        break;
      }
      case Node::Empty:
        empty(from, to);
        break;
    }
  }

  const std::vector<Node>& nodes_;
  uint16_t headCode_, tailCode_;
  RefNfa nfa_;
};

}  // namespace

RefNfa readReferencePattern(std::string_view pattern, uint16_t lineHeadCode, uint16_t lineTailCode) {
  Parser parser(pattern);
  const int root = parser.parse();
  return Layout(parser.nodes(), lineHeadCode, lineTailCode).take(root);
}

}  // namespace kelvane::testing
