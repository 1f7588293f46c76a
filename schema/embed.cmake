# Writes the DDL files into a C++ source as raw string literals.
# Run with -DSOURCE_DIR=<schema folder> -DOUTPUT=<generated .cpp>.
foreach(name PERSON ITEM SCRAP)
  string(TOLOWER ${name} file)
  file(READ "${SOURCE_DIR}/${file}.sql" ${name}_SQL)
  string(FIND "${${name}_SQL}" ")lumo_sql\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file}.sql contains the raw string delimiter )lumo_sql\"")
  endif()
endforeach()
configure_file("${SOURCE_DIR}/SchemaText.cpp.in" "${OUTPUT}" @ONLY)
