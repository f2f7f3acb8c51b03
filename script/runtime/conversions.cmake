# Conversions between value kinds, the number scanner and number texts, and the operator rules.
target_sources(vexil_runtime PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/comparison_operators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/conversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/number_scanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/number_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/operators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitive_conversions.cpp)
