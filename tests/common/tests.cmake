lmx_test(common_utils_test common/utils_test.cpp common/utils_test.rc LIBS lmx_common)
