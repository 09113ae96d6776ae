# Which headers a target may include follows from what it links. No target
# takes the source tree's root as an include folder; instead each folder's
# targets publish the headers at the root of that folder, and only those,
# through a view: a folder in the build tree holding links named as the
# sources include them ("payments/Journal.h"). A target that includes a
# header of a folder it does not link finds no such file and does not build,
# and a folder's portable half never sees its win/ half's headers.
#
#   paylode_headers(TARGET PUBLIC|PRIVATE|INTERFACE FOLDER...)
#
# FOLDER is a source folder relative to the tree's root (common, common/win,
# bench). A view is made once per configure run, afresh, so that a header
# removed from its folder leaves no link behind; a header added re-runs the
# configure step.
set(PAYLODE_HEADER_VIEWS ${CMAKE_BINARY_DIR}/header-views)

function(paylode_headers target scope)
  foreach(folder IN LISTS ARGN)
    string(REPLACE "/" "_" view ${folder})
    set(root ${PAYLODE_HEADER_VIEWS}/${view})
    get_property(made GLOBAL PROPERTY PAYLODE_HEADER_VIEW_${view})
    if(NOT made)
      file(REMOVE_RECURSE ${root})
      file(MAKE_DIRECTORY ${root}/${folder})
      file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
      foreach(header IN LISTS headers)
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
      endforeach()
      set_property(GLOBAL PROPERTY PAYLODE_HEADER_VIEW_${view} TRUE)
    endif()
    target_include_directories(${target} ${scope} ${root})
    # Places named in failures and messages read from the tree's root, as
    # the sources' own do (-ffile-prefix-map in the top CMakeLists.txt).
    target_compile_options(${target} ${scope} $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${root}/=>)
  endforeach()
endfunction()
