#pragma once

namespace kova {

enum class BatchType { Transfer, Credit, Collection, Payroll };

} // namespace kova
