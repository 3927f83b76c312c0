# Packs the committed images and the logo mesh into generated sources, one
# translation unit per asset so they compile in parallel and rebuild alone.
set(tidewash_packed_images
  "dotImage dot.png 16"
  "nebulaImage nebula.png 256"
  "sheetImage sheet.png 256"
  "fontImage font.png 256"
  "pictureImage picture.png 256"
  "circuitImage circuit.png 256"
)
set(tidewash_packed_dir ${CMAKE_CURRENT_BINARY_DIR}/packed)
file(MAKE_DIRECTORY ${tidewash_packed_dir})

foreach(entry IN LISTS tidewash_packed_images)
  separate_arguments(fields UNIX_COMMAND "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 file)
  list(GET fields 2 edge)
  set(output ${tidewash_packed_dir}/${name}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND tidewash_pack image ${name} ${edge} ${CMAKE_CURRENT_SOURCE_DIR}/${file} ${output}
    DEPENDS tidewash_pack ${CMAKE_CURRENT_SOURCE_DIR}/${file}
    COMMENT "Packing ${file} into ${name}"
    VERBATIM)
  target_sources(tidewash_assets PRIVATE ${output})
endforeach()

set(output ${tidewash_packed_dir}/logoMesh.cpp)
add_custom_command(
  OUTPUT ${output}
  COMMAND tidewash_pack mesh logoMesh 392 ${CMAKE_CURRENT_SOURCE_DIR}/logo.obj ${output}
  DEPENDS tidewash_pack ${CMAKE_CURRENT_SOURCE_DIR}/logo.obj
  COMMENT "Packing logo.obj into logoMesh"
  VERBATIM)
target_sources(tidewash_assets PRIVATE ${output})
