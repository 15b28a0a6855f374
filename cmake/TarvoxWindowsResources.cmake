# The module's Windows resources: the type library compiled by widl, and a resource script that
# embeds it with the registry scripts, the variable definitions, a string table and a version record.
# Included from resources/CMakeLists.txt, where `generated`, `scripts` and the catalogue are known.

set(tlb ${generated}/tarvox.tlb)
# widl writes one output per invocation; stdole2.tlb comes from Wine's Windows libraries.
add_custom_command(
  OUTPUT ${tlb}
  COMMAND ${TARVOX_WIDL} -t -o ${tlb} -I ${CMAKE_CURRENT_SOURCE_DIR}
          -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows ${generated}/tarvox.idl
  DEPENDS ${generated}/tarvox.idl ${CMAKE_CURRENT_SOURCE_DIR}/tarvox_base.idl
  COMMENT "Compiling the type library"
  VERBATIM)
add_custom_target(tarvox_type_library DEPENDS ${tlb})

set(definitions ${CMAKE_CURRENT_SOURCE_DIR}/variable_definitions.xml)
set(version "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
set(version_text "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

set(rc "// Generated from the class catalogue.\n")
# U.S. English (LANG_ENGLISH, SUBLANG_ENGLISH_US) for every resource that follows.
string(APPEND rc "LANGUAGE 9, 1\n\n")
foreach(name IN LISTS TARVOX_CLASSES)
  string(APPEND rc "${TARVOX_${name}_SCRIPT} REGISTRY \"${generated}/registry/${name}.rgs\"\n")
endforeach()
string(APPEND rc "\n1 TYPELIB \"${tlb}\"\n")
# Type 23 holds HTML documents; the variable definitions live there.
string(APPEND rc "201 23 \"${definitions}\"\n\n")
string(APPEND rc "STRINGTABLE\nBEGIN\n  100 \"Tarvox\"\nEND\n\n")
# FILEOS VOS_NT_WINDOWS32, FILETYPE VFT_DLL.
string(APPEND rc "1 VERSIONINFO\nFILEVERSION ${version}\nPRODUCTVERSION ${version}\n")
string(APPEND rc "FILEFLAGSMASK 0x3f\nFILEFLAGS 0\nFILEOS 0x40004\nFILETYPE 2\nFILESUBTYPE 0\nBEGIN\n")
string(APPEND rc "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904b0\"\n    BEGIN\n")
string(APPEND rc "      VALUE \"CompanyName\", \"Tarvox\"\n")
string(APPEND rc "      VALUE \"FileDescription\", \"Tarvox Module\"\n")
string(APPEND rc "      VALUE \"FileVersion\", \"${version_text}\"\n")
string(APPEND rc "      VALUE \"InternalName\", \"tarvox\"\n")
string(APPEND rc "      VALUE \"OriginalFilename\", \"tarvox.dll\"\n")
string(APPEND rc "      VALUE \"ProductName\", \"Tarvox\"\n")
string(APPEND rc "      VALUE \"ProductVersion\", \"${version_text}\"\n")
string(APPEND rc "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n")
tarvox_write_if_changed(${generated}/tarvox.rc "${rc}")

set(TARVOX_RESOURCE_SCRIPT ${generated}/tarvox.rc CACHE INTERNAL "")
# windres follows only #include: the module's target lists what the script embeds.
set(TARVOX_RESOURCE_INPUTS ${tlb} ${scripts} ${definitions} CACHE INTERNAL "")
