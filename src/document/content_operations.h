#pragma once
// Content streams decoded into operations: the system's own lexer and
// parser, one pass, never failing on garbage.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/object.h"

namespace quirelle {

// An inline image (BI ... ID ... EI) is one operation "BI" whose operands
// are its parameter dictionary and its data as a String.
struct Operation {
  std::string op;
  uint32_t first_operand = 0;
  uint32_t operand_count = 0;
};

// Operands of all operations live in one vector, so an operation costs no
// allocation of its own.
struct Operations {
  std::vector<Operation> ops;
  std::vector<Object> operands;

  std::span<const Object> operands_of(const Operation& op) const {
    return {operands.data() + op.first_operand, op.operand_count};
  }
};

Operations decode_operations(std::string_view content);

}  // namespace quirelle
