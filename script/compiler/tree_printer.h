#pragma once
// A readable dump of the syntax tree, for tests and for the compiler tool. Each node prints as
// (Kind members…); names and literals print bare ("a", 1, 1.5, "text", /re/g); lists print in
// the order they are stored, so prepended lists (elements, arguments, properties) show last first.
#include <string>

namespace vexil::script {

struct Compilation;
struct Node;

struct TreePrintOptions {
  bool lines = false;   // Kind@line
  bool types = false;   // Kind:type for expressions with a static type
  bool indent = false;  // one node per line, indented by depth; else one line per tree
};

std::string printNode(const Node* node, TreePrintOptions options = {});
// "functions:" and each function definition, then "main:" and each top-level statement, one
// tree per line (or per indented block).
std::string printTree(const Compilation& compilation, TreePrintOptions options = {});

}  // namespace vexil::script
