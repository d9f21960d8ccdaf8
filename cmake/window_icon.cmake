# cmake -DICONS=DIR -DOUTPUT=FILE -P window_icon.cmake
# Writes the window's icon as a C++ array for _NET_WM_ICON: for each size, its
# width and height, then its pixels as 0xAARRGGBB, from the raw RGBA files
# fairground-SIZE.rgba that scripts/pictures.sh makes.
set(values "")
foreach(size 16 32 48 64 128)
  set(file ${ICONS}/fairground-${size}.rgba)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" length)
  math(EXPR expected "${size} * ${size} * 8")
  if(NOT length EQUAL expected)
    message(FATAL_ERROR "${file} does not hold ${size} by ${size} RGBA pixels")
  endif()
  string(REGEX REPLACE "(..)(..)(..)(..)" "0x\\4\\1\\2\\3," hex "${hex}")
  string(APPEND values "${size}, ${size},\n${hex}\n")
endforeach()
file(WRITE ${OUTPUT} "// Made by cmake/window_icon.cmake from ${ICONS}.
extern const unsigned long windowIcon[] = {
${values}};
extern const unsigned long windowIconLength = sizeof windowIcon / sizeof windowIcon[0];
")
