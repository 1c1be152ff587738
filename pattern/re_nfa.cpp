// The NFA construction of re_nfa.h.
//
// The translation is the textbook one, kept exactly in the order a recursive walk would take, because
// that order numbers the states and orders each state's transitions (newest first), and the DFA
// construction creates its states in the order it meets them. The walk uses an explicit stack of tasks
// instead of recursion: a pattern of a hundred thousand characters is a concatenation chain just as
// deep, and the thread's stack must not be what limits the pattern length.
#include "pattern/re_nfa.h"

#include <stdexcept>
#include <string_view>

#include "pattern/re_chars.h"
#include "pattern/re_parser.h"

namespace kelvane {

const std::string& TooComplexMessage() { return MessageText(RegExpMessage::TooComplex); }

std::size_t TRE_NFAStateSet::Hash() const {
  return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(Bits.data()), Bits.size()));
}

TRE_NFA::TRE_NFA(const TREParser& parser, uint16_t lineHeadCode, uint16_t lineTailCode)
    : Parser(parser), LineHeadCode(lineHeadCode), LineTailCode(lineTailCode) {}

void TRE_NFA::Build() {
  FreeStates();
  LineHeadUsed = false;
  LineTailUsed = false;
  Entry = NewState();
  Exit = NewState();
  GenerateStateList(Parser.ParseTree->Root, Entry, Exit);
}

void TRE_NFA::tooComplex() const {
  // The whole pattern has been read when the automaton outgrows its budget.
  throw ERegExpParser(TooComplexMessage(), static_cast<uint32_t>(Parser.Scanner->Position()));
}

uint32_t TRE_NFA::NewState() {
  if (States.size() >= kMaxNFAStates) tooComplex();
  States.emplace_back();
  return static_cast<uint32_t>(States.size() - 1);
}

void TRE_NFA::AddTransition(uint32_t from, uint32_t to, uint16_t lo, uint16_t hi) {
  if (++transitionCount_ > kMaxNFATransitions) tooComplex();
  auto& chain = States[from];
  chain.insert(chain.begin(), TRENFATrans{lo, hi, to});
}

namespace {

// One step of the walk: lay `node` between from and to, or (epsilon) add the empty transition
// from -> to that a repetition adds after its body.
struct Task {
  const TRENode* node;
  uint32_t from;
  uint32_t to;
  bool epsilon = false;
};

}  // namespace

void TRE_NFA::GenerateStateList(const TRENode* root, uint32_t rootFrom, uint32_t rootTo) {
  std::vector<Task> stack{{root, rootFrom, rootTo}};
  while (!stack.empty()) {
    const Task task = stack.back();
    stack.pop_back();
    const TRENode* node = task.node;
    const uint32_t from = task.from, to = task.to;
    if (task.epsilon) {
      AddTransition(from, to, kEpsilonChar, kEpsilonChar);
      continue;
    }
    if (node->Op > op_Empty) throw std::runtime_error("This cannot happen in TRE_NFA.GenerateStateList");
    switch (node->Op) {
      case op_Char:
        AddTransition(from, to, node->LoChar, node->HiChar);
        break;
      case op_LineHead:
        if (from == Entry) {
          LineHeadUsed = true;
          AddTransition(from, to, LineHeadCode, LineHeadCode);
        } else {
          AddTransition(from, to, node->LoChar, node->HiChar);
        }
        break;
      case op_LineTail:
        if (to == Exit) {
          LineTailUsed = true;
          AddTransition(from, to, LineTailCode, LineTailCode);
        } else {
          AddTransition(from, to, node->LoChar, node->HiChar);
        }
        break;
      case op_Concat: {
        const uint32_t m = NewState();
        stack.push_back({node->Right, m, to});  // the stack runs backwards: Left is laid out first
        stack.push_back({node->Left, from, m});
        break;
      }
      case op_Alt:
        stack.push_back({node->Right, from, to});
        stack.push_back({node->Left, from, to});
        break;
      case op_Repeat: {
        const uint32_t m1 = NewState();
        const uint32_t m2 = NewState();
        AddTransition(from, m1, kEpsilonChar, kEpsilonChar);
        stack.push_back({nullptr, m1, to, true});
        stack.push_back({nullptr, m2, m1, true});
        stack.push_back({node->Left, m1, m2});
        break;
      }
      case op_Empty:
        AddTransition(from, to, kEpsilonChar, kEpsilonChar);
        break;
    }
  }
}

}  // namespace kelvane
